#include "ConsoleInterrupt.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <atomic>

namespace {

// A console control handler can reach nothing but globals, so the event is kept here; it is set
// before the handler is installed and cleared after it is removed.
std::atomic<HANDLE> g_stopEvent{nullptr};

// The system ends the process once the handler of a closing console returns, and allows it five
// seconds: time for the command to stop between requests and report.
constexpr DWORD kCloseGraceMs = 4000;

BOOL WINAPI OnConsoleControl(DWORD type) {
    const HANDLE event = g_stopEvent.load();
    if (event == nullptr) {
        return FALSE; // the system's own handler ends the process
    }
    (void)SetEvent(event); // fails only for a bad handle, which this one is not
    if (type == CTRL_CLOSE_EVENT || type == CTRL_LOGOFF_EVENT || type == CTRL_SHUTDOWN_EVENT) {
        // The program ends during this wait when it finishes first.
        Sleep(kCloseGraceMs);
    }
    return TRUE;
}

} // namespace

bool CConsoleInterrupt::Install(std::string& error) {
    const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (event == nullptr) {
        error = "cannot create the stop event (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    m_hEvent = event;
    g_stopEvent.store(event);
    if (!SetConsoleCtrlHandler(OnConsoleControl, TRUE)) {
        error = "cannot install the console control handler (error " +
                std::to_string(GetLastError()) + ")";
        return false; // the destructor closes the event
    }
    m_bInstalled = true;
    return true;
}

CConsoleInterrupt::~CConsoleInterrupt() {
    if (m_bInstalled) {
        // Removing a handler that was installed does not fail.
        (void)SetConsoleCtrlHandler(OnConsoleControl, FALSE);
    }
    g_stopEvent.store(nullptr);
    // The event stays open until the process ends: a handler already running on its own
    // thread may still set it, and a closed handle could by then name another object.
}

bool ConsoleInterruptRequested(unsigned waitMs) {
    const HANDLE event = g_stopEvent.load();
    return event != nullptr && WaitForSingleObject(event, waitMs) == WAIT_OBJECT_0;
}
