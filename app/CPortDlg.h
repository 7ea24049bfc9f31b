#pragma once

#include "CDialog.h"
#include "ConnectionSettings.h"

// "Wybierz port": one of COM1..COM6. Only "Zatwierdź" changes the settings; speed and address
// are then reset to 19200 and 31, as no control chooses them.
class CPortDlg : public CDialog {
public:
    CPortDlg();

    static constexpr int kPortChoices = 6; // COM1..COM6

    int m_nPort = -1;                          // index of the checked button, -1 for none
    ConnectionSettings* m_pSettings = nullptr; // the main window's settings

protected:
    void DoDataExchange(CDataExchange& dx) override;
    bool OnInitDialog() override;
    void OnDestroy() override;
};
