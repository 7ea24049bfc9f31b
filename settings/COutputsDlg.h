#pragma once

#include "CDialog.h"
#include "OutputsForm.h"

#include <cstdint>
#include <string>

class QCheckBox;
class QLineEdit;

// "Konfiguracja wyjść": three threshold outputs, each a row of "inw", min and max that is
// enabled while the output is active. The caller fills m_record, runs the dialog and, after
// "Zapisz", sends m_record back: the window's end writes the fields into it, after OK and
// Cancel alike.
class COutputsDlg : public CDialog, public OutputsForm {
public:
    COutputsDlg();

    bool OnCmdMsg(unsigned id) override;
    // Thresholds are checked before the exchange may end the dialog.
    void OnOK() override;

    // lo, hi and value in tenths of m/s. False, with its message shown and the focus on the
    // field, when the text has a character other than a digit, '-' or '.', or when the value
    // lies outside lo..hi.
    bool CheckThreshold(std::int16_t lo, std::int16_t hi, int value, QLineEdit* field,
                        const std::string& text);

    // "wyjście N aktywne" clicked: the row of output N follows it.
    void OnOutputActive(int output);

    // Outputs 1, 2, 3; null while there is no window.
    QLineEdit* m_editMin[kOutputs] = {};
    QLineEdit* m_editMax[kOutputs] = {};
    QCheckBox* m_btnInverted[kOutputs] = {};

protected:
    void DoDataExchange(CDataExchange& dx) override;
    bool OnInitDialog() override;
    void OnDestroy() override;

private:
    void EnableRow(int output, bool enable);
};
