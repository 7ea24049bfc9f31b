#pragma once

#include "CWinApp.h"

#include <QWidget>

#include <deque>
#include <functional>
#include <string>
#include <vector>

// An application object that answers message boxes from a script and records them.
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
