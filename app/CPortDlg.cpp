#include "CPortDlg.h"

#include "DataExchange.h"
#include "ResourceIds.h"

CPortDlg::CPortDlg() : CDialog(IDD_PORT) {}

void CPortDlg::DoDataExchange(CDataExchange& dx) {
    DDX_Radio(dx, IDC_PORT_COM1, m_nPort);
}

bool CPortDlg::OnInitDialog() {
    m_nPort = m_pSettings->port - 1;
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
