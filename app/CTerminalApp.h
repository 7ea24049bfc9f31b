#pragma once

#include "CWinApp.h"

// Starts the main window modally and ends the program when it closes.
class CTerminalApp : public CWinApp {
public:
    bool InitInstance() override;
};
