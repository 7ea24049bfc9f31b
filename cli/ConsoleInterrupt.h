#pragma once

#include <string>

// Windows: Ctrl+C, Ctrl+Break and the console window closing as a request to stop, as SIGINT,
// SIGTERM and SIGHUP are on POSIX (CStopSignal), so that a command stops between requests and
// reports with its documented status instead of being ended on the spot. One at a time.
class CConsoleInterrupt {
public:
    CConsoleInterrupt() = default;
    ~CConsoleInterrupt(); // removes the handler; the event lives as long as the process
    CConsoleInterrupt(const CConsoleInterrupt&) = delete;
    CConsoleInterrupt& operator=(const CConsoleInterrupt&) = delete;

    bool Install(std::string& error);

    // An event (a HANDLE) that is set once the user has asked to stop, and stays set.
    void* Event() const { return m_hEvent; }

private:
    void* m_hEvent = nullptr;
    bool m_bInstalled = false;
};

// Whether the user has asked to stop, waiting up to waitMs for the request: a console read that
// Ctrl+C ends returns before the handler (on a thread of its own) has run.
bool ConsoleInterruptRequested(unsigned waitMs);
