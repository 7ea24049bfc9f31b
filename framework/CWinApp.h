#pragma once

#include <string>

class CDialog;

// The application object. Exactly one lives at a time; message boxes go through it, so that a
// test can put an application of its own in place and answer them.
class CWinApp {
public:
    CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    // Runs the program; false ends it without a message loop of its own.
    virtual bool InitInstance() { return false; }

    // Shows a modal message box and returns the answer (IDOK, IDYES, ...).
    virtual int DoMessageBox(const std::string& text, unsigned type);

    // The caption of every message box: the executable's base name.
    std::string AppTitle() const;

    CDialog* m_pMainWnd = nullptr;
};

// The application object, or null before it exists.
CWinApp* AfxGetApp();

// The application message box; the only way the program shows one. The text appears in the
// program's language.
int AfxMessageBox(const std::string& text, unsigned type = 0);
