#include "COutputsDlg.h"

#include "CWinApp.h"
#include "DataExchange.h"
#include "MessageBoxTypes.h"
#include "ResourceIds.h"
#include "ThresholdText.h"

#include <QCheckBox>
#include <QLineEdit>

namespace {

constexpr int kActiveIds[] = {IDC_OUTPUT1_ACTIVE, IDC_OUTPUT2_ACTIVE, IDC_OUTPUT3_ACTIVE};
constexpr int kInvertedIds[] = {IDC_OUTPUT1_INVERTED, IDC_OUTPUT2_INVERTED, IDC_OUTPUT3_INVERTED};
constexpr int kMinIds[] = {IDC_OUTPUT1_MIN, IDC_OUTPUT2_MIN, IDC_OUTPUT3_MIN};
constexpr int kMaxIds[] = {IDC_OUTPUT1_MAX, IDC_OUTPUT2_MAX, IDC_OUTPUT3_MAX};

constexpr std::int16_t kLowest = OutputsForm::kLowestThreshold;
constexpr std::int16_t kHighest = OutputsForm::kHighestThreshold;

// Threshold texts have room for "-20.0".
constexpr int kThresholdChars = 5;

} // namespace

COutputsDlg::COutputsDlg() : CDialog(IDD_OUTPUTS) {}

void COutputsDlg::DoDataExchange(CDataExchange& dx) {
    for (int i = 0; i < kOutputs; ++i) {
        DDX_Control(dx, kMinIds[i], m_editMin[i]);
        DDX_Control(dx, kMaxIds[i], m_editMax[i]);
        DDX_Control(dx, kInvertedIds[i], m_btnInverted[i]);
    }
    for (int i = 0; i < kOutputs; ++i) {
        DDX_Check(dx, kInvertedIds[i], m_bInverted[i]);
    }
    // Texts from output 3 to output 1, lower thresholds first: the order decides which of
    // several failing fields is reported.
    for (int i = kOutputs - 1; i >= 0; --i) {
        DDX_Text(dx, kMinIds[i], m_strMin[i]);
        DDV_MaxChars(dx, m_strMin[i], kThresholdChars);
    }
    for (int i = kOutputs - 1; i >= 0; --i) {
        DDX_Text(dx, kMaxIds[i], m_strMax[i]);
        DDV_MaxChars(dx, m_strMax[i], kThresholdChars);
    }
    for (int i = 0; i < kOutputs; ++i) {
        DDX_Check(dx, kActiveIds[i], m_bActive[i]);
    }
}

bool COutputsDlg::OnInitDialog() {
    RecordToFields();
    CDialog::OnInitDialog();
    for (int output = 1; output <= kOutputs; ++output) {
        EnableRow(output, m_bActive[output - 1] == 1);
    }
    return true;
}

void COutputsDlg::OnDestroy() {
    FieldsToRecord();
    // The controls go with the window.
    for (int i = 0; i < kOutputs; ++i) {
        m_editMin[i] = nullptr;
        m_editMax[i] = nullptr;
        m_btnInverted[i] = nullptr;
    }
}

bool COutputsDlg::OnCmdMsg(unsigned id) {
    for (int i = 0; i < kOutputs; ++i) {
        if (id == static_cast<unsigned>(kActiveIds[i])) {
            OnOutputActive(i + 1);
            return true;
        }
    }
    return CDialog::OnCmdMsg(id);
}

void COutputsDlg::OnOutputActive(int output) {
    // A field that fails its check shows its message and ends the exchange before the active
    // boxes are read; the row still follows the box the user clicked.
    (void)UpdateData(true);
    const int i = output - 1;
    if (const auto* box = qobject_cast<const QCheckBox*>(GetDlgItem(kActiveIds[i]))) {
        m_bActive[i] = box->isChecked() ? 1 : 0;
    }
    EnableRow(output, m_bActive[i] == 1);
}

void COutputsDlg::EnableRow(int output, bool enable) {
    const int i = output - 1;
    EnableDlgItem(kInvertedIds[i], enable);
    EnableDlgItem(kMinIds[i], enable);
    EnableDlgItem(kMaxIds[i], enable);
}

void COutputsDlg::OnOK() {
    // A failed exchange has shown its message already; the thresholds are checked regardless,
    // and the framework's exchange below decides once more.
    (void)UpdateData(true);
    // Every output is checked, active or not. The texts come from the edits themselves: a
    // failed exchange may have left later members unread.
    for (int i = 0; i < kOutputs; ++i) {
        const std::string minText = GetDlgItemText(kMinIds[i]);
        const int minValue = ThresholdValue(minText);
        if (!CheckThreshold(kLowest, kHighest, minValue, m_editMin[i], minText)) {
            return;
        }
        const std::string maxText = GetDlgItemText(kMaxIds[i]);
        // minValue lies within -200..200 here.
        if (!CheckThreshold(static_cast<std::int16_t>(minValue), kHighest, ThresholdValue(maxText),
                            m_editMax[i], maxText)) {
            return;
        }
    }
    CDialog::OnOK();
}

bool COutputsDlg::CheckThreshold(std::int16_t lo, std::int16_t hi, int value, QLineEdit* field,
                                 const std::string& text) {
    const std::optional<std::string> problem = ThresholdProblem(lo, hi, value, text);
    if (!problem) {
        return true;
    }
    AfxMessageBox(*problem, MB_OK);
    if (field != nullptr) {
        field->setFocus(Qt::OtherFocusReason);
        field->selectAll();
    }
    return false;
}
