#pragma once

#include "CWinApp.h"

#include <QTimer>
#include <QWidget>
#include <Qt>

#include <deque>
#include <functional>
#include <string>
#include <vector>

// An application object that answers message boxes from a script and records them.
class CDialog;

class TestApp : public CWinApp {
public:
    struct Shown {
        std::string text;
        unsigned type;
    };

    int DoMessageBox(const std::string& text, unsigned type) override;

    std::vector<Shown> shown;
    std::deque<int> answers; // answers in order; IDOK once they run out
    // Called while a box is "open", before it returns its answer: what a user could do then.
    std::function<void(const std::string& text)> whileShown;
};

// Runs action on the next modal window other than `except` once it is open, from inside its
// own loop. Polls instead of waiting a fixed time; fails the test after a few seconds.
void WhenModalOpens(std::function<void(QWidget&)> action, QWidget* except = nullptr);

// The same for the next modal window with this title, letting others (such as the wait dialog
// that comes first) pass.
void WhenModalOpens(const char* title, std::function<void(QWidget&)> action);

// Processes events until the condition holds or the time limit passes; returns the condition.
bool ProcessEventsUntil(const std::function<bool()>& condition, int limitMs = 5000);

// Runs body with dialog run as the program runs its main window: started through DoModal, body
// called from inside that modal loop once the window is up. A window the modal dialog blocks
// takes no input here, as in the program. Whatever body leaves open above the dialog is closed,
// then the modal run ends; a body that never ran (the window did not open) fails the test.
void RunInModalLoop(CDialog& dialog, const std::function<void()>& body);

// Input as the system delivers it: through the widget's window, which takes none while a modal
// window blocks it. A click lands at the widget's centre; keys go to the window's focus widget.
void ClickAsUser(QWidget& widget);
void KeyAsUser(QWidget& window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// While it lives, a modal window that opens is a failure: reported with its title and `what`,
// and closed at once, so that a step expected to refuse fails fast instead of waiting for a user.
class CUnexpectedModals {
public:
    explicit CUnexpectedModals(std::string what);

private:
    std::string m_what;
    QTimer m_poll;
};
