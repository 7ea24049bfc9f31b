#pragma once

#include "CDialog.h"
#include "ResourceIds.h"

// "Transmisja danych": shown while one request is outstanding.
class CWaitDlg : public CDialog {
public:
    CWaitDlg() : CDialog(IDD_WAIT) {}
};
