#include "CTerminalApp.h"

#include "CTerminalDlg.h"

bool CTerminalApp::InitInstance() {
    CTerminalDlg dialog;
    m_pMainWnd = &dialog;
    // However the dialog ended, the program ends the same way.
    (void)dialog.DoModal();
    m_pMainWnd = nullptr;
    return false;
}
