#include "CPortDlg.h"

#include "DataExchange.h"
#include "ResourceIds.h"

#include <cstdint>

CPortDlg::CPortDlg() : CDialog(IDD_PORT) {}

void CPortDlg::DoDataExchange(CDataExchange& dx) {
    DDX_Radio(dx, IDC_PORT_COM1, m_nPort);
}

bool CPortDlg::OnInitDialog() {
    // A port the dialog does not offer selects nothing; settings files may hold any number, even
    // one whose index would not fit an int.
    const std::int64_t index = std::int64_t{m_pSettings->port} - 1;
    m_nPort = index >= 0 && index < kPortChoices ? static_cast<int>(index) : -1;
    return CDialog::OnInitDialog();
}

void CPortDlg::OnDestroy() {
    // A cancelled dialog leaves the settings exactly as they were.
    if (GetWindow()->result() != IDOK) {
        return;
    }
    m_pSettings->port = m_nPort + 1;
    m_pSettings->deviceAddress = 31;
    m_pSettings->baudRate = 19200;
}
