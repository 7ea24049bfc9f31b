#include "LinkWakeup.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace {

bool InputWaiting(HANDLE port) {
    DWORD errors = 0;
    COMSTAT status{};
    return ClearCommError(port, &errors, &status) && status.cbInQue > 0;
}

// Ends an overlapped WaitCommEvent that is still running and waits until the system is done
// with the OVERLAPPED, which lives on the caller's stack.
void EndPortWait(HANDLE port, OVERLAPPED& overlapped) {
    // Either result leads to the wait below, which returns once the operation is gone.
    (void)CancelIoEx(port, &overlapped);
    DWORD ignored = 0;
    (void)GetOverlappedResult(port, &overlapped, &ignored, TRUE); // fails as cancelled
}

} // namespace

CLinkWakeup::CLinkWakeup()
    : m_hEvent(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      m_hPortEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    // Either may be null when the system is out of handles: Wait then falls back to short timed
    // waits, or to waiting without the port.
}

CLinkWakeup::~CLinkWakeup() {
    for (void* handle : {m_hEvent, m_hPortEvent}) {
        if (handle != nullptr) {
            (void)CloseHandle(static_cast<HANDLE>(handle));
        }
    }
}

void CLinkWakeup::Signal() {
    // The event is set already when an earlier signal is still pending.
    if (m_hEvent != nullptr && !m_bSignalPending.exchange(true)) {
        (void)SetEvent(static_cast<HANDLE>(m_hEvent)); // fails only for a bad handle
    }
}

CLinkWakeup::WaitResult CLinkWakeup::Wait(SerialHandle port, int timeoutMs) {
    if (m_hEvent == nullptr) {
        // Without a wake-up event, keep the wait short so that queued messages and stop
        // requests are still seen promptly.
        timeoutMs = timeoutMs < 1 ? timeoutMs : 1;
    }
    const HANDLE portHandle = static_cast<HANDLE>(port);
    HANDLE handles[2];
    DWORD count = 0;
    if (m_hEvent != nullptr) {
        handles[count++] = static_cast<HANDLE>(m_hEvent);
    }

    OVERLAPPED overlapped{};
    bool portWaitRunning = false;
    if (portHandle != nullptr && m_hPortEvent != nullptr && SetCommMask(portHandle, EV_RXCHAR)) {
        overlapped.hEvent = static_cast<HANDLE>(m_hPortEvent);
        DWORD events = 0;
        if (WaitCommEvent(portHandle, &events, &overlapped)) {
            return WaitResult::PortReady;
        }
        if (GetLastError() == ERROR_IO_PENDING) {
            // A byte that came after the caller's last read but before the mask was set raises
            // no event: it is already in the queue.
            if (InputWaiting(portHandle)) {
                EndPortWait(portHandle, overlapped);
                return WaitResult::PortReady;
            }
            portWaitRunning = true;
            handles[count++] = overlapped.hEvent;
        }
        // Otherwise the port cannot be waited on (a line that is gone): only the wake-up and
        // the timeout count, which keeps a dead port from making the worker spin.
    }

    DWORD woken = WAIT_TIMEOUT;
    if (count > 0) {
        woken = WaitForMultipleObjects(count, handles, FALSE,
                                       timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs));
    } else if (timeoutMs > 0) {
        Sleep(static_cast<DWORD>(timeoutMs));
    }

    WaitResult result = WaitResult::TimedOut;
    if (m_hEvent != nullptr && woken == WAIT_OBJECT_0) {
        // The wait took the event: the next Signal must set it again. A Signal between the two
        // is not lost: the caller looks at the state after this returns, and this exchange
        // makes what that Signal announced visible.
        (void)m_bSignalPending.exchange(false);
        result = WaitResult::Signalled;
    } else if (portWaitRunning && woken == WAIT_OBJECT_0 + count - 1) {
        result = WaitResult::PortReady;
    }
    // A port wait that ended is reported whatever it found: some drivers end it without an
    // event (wine on a pseudo-terminal does, every few milliseconds, once the input is read),
    // and the caller, finding no data, leaves the port out of its next wait instead of
    // spinning on it.
    if (portWaitRunning && result != WaitResult::PortReady) {
        EndPortWait(portHandle, overlapped);
    }
    return result;
}
