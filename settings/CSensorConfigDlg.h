#pragma once

#include "CDialog.h"
#include "SensorConfigForm.h"

// "Konfiguracja QAL". The caller fills m_record, runs the dialog and, after OK, sends m_record
// back: the window's end writes the fields into it, after OK and Cancel alike.
class CSensorConfigDlg : public CDialog, public SensorConfigForm {
public:
    CSensorConfigDlg();

protected:
    void DoDataExchange(CDataExchange& dx) override;
    bool OnInitDialog() override;
    void OnDestroy() override;
};
