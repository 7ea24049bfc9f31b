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

#include <algorithm>

namespace {

// Stops typing at a number of characters, and optionally refuses characters, without cutting a
// longer text the program put there: such a text stays visible and fails the check when saved.
// A change that shortens the text is always taken, so that an over-long text can be mended.
class MaxLengthValidator : public QValidator {
public:
    MaxLengthValidator(int limit, bool (*accepts)(char32_t), QLineEdit* edit)
        : QValidator(edit), m_limit(limit), m_accepts(accepts),
          m_length(CharacterCount(edit->text())) {
        // The edit reports every text it takes, so that validate() knows the text before a change.
        connect(edit, &QLineEdit::textChanged, this,
                [this](const QString& text) { m_length = CharacterCount(text); });
    }

    State validate(QString& input, int& position) const override {
        (void)position;
        const QList<uint> characters = input.toUcs4();
        const bool acceptable = characters.size() <= m_limit &&
                                (m_accepts == nullptr ||
                                 std::all_of(characters.begin(), characters.end(), [this](uint c) {
                                     return m_accepts(static_cast<char32_t>(c));
                                 }));
        if (acceptable) {
            return Acceptable;
        }
        // Intermediate: taken by the edit, but still not a text the dialog can save.
        return characters.size() < m_length ? Intermediate : Invalid;
    }

private:
    static qsizetype CharacterCount(const QString& text) { return text.toUcs4().size(); }

    int m_limit;
    bool (*m_accepts)(char32_t);
    qsizetype m_length; // characters of the edit's text before the change being validated
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
        switch (box->checkState()) {
        case Qt::Checked:
            value = 1;
            break;
        case Qt::PartiallyChecked:
            value = 2;
            break;
        case Qt::Unchecked:
            value = 0;
            break;
        }
        return;
    }
    if (value < 0 || value > 2) {
        value = 0;
    }
    if (value != 2) {
        box->setTristate(false);
        box->setCheckState(value == 1 ? Qt::Checked : Qt::Unchecked);
        return;
    }
    box->setTristate(true);
    box->setCheckState(Qt::PartiallyChecked);
    // By the time a click is reported the box has moved on from half to checked; without the
    // third state it then never returns to half. A later opening that connects again only
    // repeats a harmless call.
    QObject::connect(box, &QAbstractButton::clicked, box, [box] { box->setTristate(false); });
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
    DDV_MaxChars(dx, value, limit, nullptr);
}

void DDV_MaxChars(CDataExchange& dx, const std::string& value, int limit,
                  bool (*accepts)(char32_t)) {
    if (dx.Failed()) {
        return;
    }
    if (!dx.m_bSaveAndValidate) {
        if (auto* edit = qobject_cast<QLineEdit*>(dx.m_pDlgWnd->GetDlgItem(dx.m_idLastControl))) {
            // The edit owns its validator.
            edit->setValidator(new MaxLengthValidator(limit, accepts, edit));
        }
        return;
    }
    if (const auto message = ddx::CheckMaxChars(value, limit)) {
        dx.Fail(*message);
    }
}
