#pragma once

#include "CDialog.h"
#include "ReaderConfigForm.h"

// "Konfiguracja czytnika". The caller fills m_record, runs the dialog and, after OK, sends
// m_record back: the window's end writes the fields into it, after OK and Cancel alike.
class CReaderConfigDlg : public CDialog, public ReaderConfigForm {
public:
    CReaderConfigDlg();

protected:
    void DoDataExchange(CDataExchange& dx) override;
    bool OnInitDialog() override;
    void OnDestroy() override;
};
