#pragma once

#include "CWinApp.h"

#include <functional>
#include <string>

// The application object of a benchmark: message boxes are printed and answered with OK, since
// nobody sits in front of a measurement.
class QuietApp : public CWinApp {
public:
    int DoMessageBox(const std::string& text, unsigned type) override;
};

// Runs the event loop, sleeping while nothing happens, until the condition holds or the limit
// passes; false on the limit. A wake-up every 10 ms looks at the condition; it costs next to
// nothing.
bool RunUntil(const std::function<bool()>& condition, int limitMs);
