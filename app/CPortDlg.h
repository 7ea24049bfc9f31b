#pragma once

#include "CDialog.h"
#include "ConnectionSettings.h"
#include "PortDevice.h"

#include <string>

// "Wybierz port": one of COM1..COM6. Only "Zatwierdź" changes the settings; speed and address
// are then reset to the defaults, as no control chooses them. Each choice tells, as its tooltip
// and accessible description, which device it reaches and whether that can be used.
class CPortDlg : public CDialog {
public:
    CPortDlg();

    static constexpr int kPortChoices = 6; // COM1..COM6

    int m_nPort = -1;                          // index of the checked button, -1 for none
    ConnectionSettings* m_pSettings = nullptr; // the main window's settings
    std::string m_strSettingsDir;              // where the COM<n> links live
    DeviceAccessCheck m_deviceAccess = DeviceAccessError;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    bool OnInitDialog() override;
    void OnDestroy() override;

private:
    void DescribeChoices();
};
