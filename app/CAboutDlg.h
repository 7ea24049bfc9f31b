#pragma once

#include "CDialog.h"
#include "ResourceIds.h"

// "About ZB": the icon, the version and OK.
class CAboutDlg : public CDialog {
public:
    CAboutDlg() : CDialog(IDD_ABOUTBOX) {}
};
