#pragma once

#include <string>

// The main window's event log, as every part that reports progress sees it.
class IEventLog {
public:
    // newLine: start a new line, else continue the last one.
    virtual void AppendLog(const std::string& text, bool newLine) = 0;
    // A text from the device: shown as the device sent it, never translated.
    virtual void AppendDeviceText(const std::string& text, bool newLine) {
        AppendLog(text, newLine);
    }

protected:
    ~IEventLog() = default;
};
