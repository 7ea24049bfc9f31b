#include "DataExchange.h"

#include "CDialog.h"
#include "CWinApp.h"
#include "DataExchangeRules.h"
#include "MessageBoxTypes.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QValidator>

namespace {

// Stops typing at a number of characters without cutting a longer text the program put there:
// such a text stays visible and fails the check when saved.
class MaxLengthValidator : public QValidator {
public:
    MaxLengthValidator(int limit, QObject* parent) : QValidator(parent), m_limit(limit) {}

    State validate(QString& input, int& position) const override {
        (void)position;
        return ddx::CharacterCount(input.toStdString()) <= m_limit ? Acceptable : Invalid;
    }

private:
    int m_limit;
};

template <typename T>
void ExchangeInteger(CDataExchange& dx, int id, T& value,
                     ddx::Field<T> (*parse)(std::string_view)) {
    if (dx.Failed()) {
        return;
    }
    auto* edit = qobject_cast<QLineEdit*>(dx.PrepareCtrl(id));
    if (edit == nullptr) {
        return;
    }
    if (!dx.m_bSaveAndValidate) {
        edit->setText(QString::number(value));
        return;
    }
    const ddx::Field<T> field = parse(edit->text().toStdString());
    if (!field.value) {
        dx.Fail(field.message);
        return;
    }
    value = *field.value;
}

// Radio buttons of the group that starts at firstId, in template order.
std::vector<QRadioButton*> RadioGroup(const CDialog& dialog, int firstId) {
    std::vector<QRadioButton*> group;
    bool inGroup = false;
    for (const BuiltControl& control : dialog.Controls()) {
        if (!inGroup) {
            inGroup = control.source->id == firstId;
        } else if ((control.source->style & kGroup) != 0) {
            break;
        }
        if (inGroup && control.source->kind == ControlKind::RadioButton) {
            group.push_back(static_cast<QRadioButton*>(control.widget));
        }
    }
    return group;
}

} // namespace

QWidget* CDataExchange::PrepareCtrl(int id) {
    m_idLastControl = id;
    return m_pDlgWnd->GetDlgItem(id);
}

void CDataExchange::Fail(const std::string& message) {
    m_bFailed = true;
    AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
    if (QWidget* control = m_pDlgWnd->GetDlgItem(m_idLastControl)) {
        control->setFocus(Qt::OtherFocusReason);
        if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            edit->selectAll();
        }
    }
}

void DDX_Text(CDataExchange& dx, int id, std::int32_t& value) {
    ExchangeInteger(dx, id, value, &ddx::ParseInt);
}
void DDX_Text(CDataExchange& dx, int id, std::int16_t& value) {
    ExchangeInteger(dx, id, value, &ddx::ParseShort);
}
void DDX_Text(CDataExchange& dx, int id, std::uint8_t& value) {
    ExchangeInteger(dx, id, value, &ddx::ParseByte);
}
void DDX_Text(CDataExchange& dx, int id, std::uint16_t& value) {
    ExchangeInteger(dx, id, value, &ddx::ParseUShort);
}
void DDX_Text(CDataExchange& dx, int id, std::uint32_t& value) {
    ExchangeInteger(dx, id, value, &ddx::ParseUInt);
}

void DDX_Text(CDataExchange& dx, int id, std::string& value) {
    if (dx.Failed()) {
        return;
    }
    auto* edit = qobject_cast<QLineEdit*>(dx.PrepareCtrl(id));
    if (edit == nullptr) {
        return;
    }
    if (dx.m_bSaveAndValidate) {
        value = edit->text().toStdString();
    } else {
        edit->setText(QString::fromStdString(value));
    }
}

void DDX_Check(CDataExchange& dx, int id, int& value) {
    if (dx.Failed()) {
        return;
    }
    auto* box = qobject_cast<QCheckBox*>(dx.PrepareCtrl(id));
    if (box == nullptr) {
        return;
    }
    if (dx.m_bSaveAndValidate) {
        value = box->checkState() == Qt::Checked ? 1 : 0;
        return;
    }
    if (value < 0 || value > 2) {
        value = 0;
    }
    box->setTristate(value == 2);
    box->setCheckState(value == 2 ? Qt::PartiallyChecked
                                  : (value == 1 ? Qt::Checked : Qt::Unchecked));
}

void DDX_Radio(CDataExchange& dx, int firstId, int& value) {
    if (dx.Failed()) {
        return;
    }
    dx.PrepareCtrl(firstId);
    const std::vector<QRadioButton*> group = RadioGroup(*dx.m_pDlgWnd, firstId);
    if (dx.m_bSaveAndValidate) {
        value = -1;
        for (std::size_t i = 0; i < group.size(); ++i) {
            if (group[i]->isChecked()) {
                value = static_cast<int>(i);
                break;
            }
        }
        return;
    }
    // An exclusive group refuses to uncheck its checked button; lift that for the transfer.
    QButtonGroup* buttonGroup = group.empty() ? nullptr : group.front()->group();
    if (buttonGroup != nullptr) {
        buttonGroup->setExclusive(false);
    }
    for (std::size_t i = 0; i < group.size(); ++i) {
        group[i]->setChecked(static_cast<int>(i) == value);
    }
    if (buttonGroup != nullptr) {
        buttonGroup->setExclusive(true);
    }
}

void DDV_MinMax(CDataExchange& dx, long long value, long long minimum, long long maximum) {
    if (dx.Failed() || !dx.m_bSaveAndValidate) {
        return;
    }
    if (const auto message = ddx::CheckRange(value, minimum, maximum)) {
        dx.Fail(*message);
    }
}

void DDV_MaxChars(CDataExchange& dx, const std::string& value, int limit) {
    if (dx.Failed()) {
        return;
    }
    if (!dx.m_bSaveAndValidate) {
        if (auto* edit = qobject_cast<QLineEdit*>(dx.m_pDlgWnd->GetDlgItem(dx.m_idLastControl))) {
            // The edit owns its validator.
            edit->setValidator(new MaxLengthValidator(limit, edit));
        }
        return;
    }
    if (const auto message = ddx::CheckMaxChars(value, limit)) {
        dx.Fail(*message);
    }
}
