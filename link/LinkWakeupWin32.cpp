#include "LinkWakeup.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// One WaitCommEvent at a time, on one port. The system writes into overlapped and events until
// the wait ends, so both live here, not on a caller's stack.
struct CLinkWakeup::PortWait {
    OVERLAPPED overlapped{};
    DWORD events = 0;
    HANDLE port = nullptr; // the port the running wait is on; null when none runs
    HANDLE done = nullptr; // manual-reset: set by the system when the wait ends

    PortWait() : done(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~PortWait() {
        if (done != nullptr) {
            (void)CloseHandle(done);
        }
    }
    PortWait(const PortWait&) = delete;
    PortWait& operator=(const PortWait&) = delete;

    bool Running() const { return port != nullptr; }
    // True once the running wait has ended (then none runs any more).
    bool Ended() {
        if (!Running() || WaitForSingleObject(done, 0) != WAIT_OBJECT_0) {
            return false;
        }
        DWORD ignored = 0;
        (void)GetOverlappedResult(port, &overlapped, &ignored, FALSE); // ended either way
        port = nullptr;
        return true;
    }
};

namespace {

bool InputWaiting(HANDLE port) {
    DWORD errors = 0;
    COMSTAT status{};
    return ClearCommError(port, &errors, &status) && status.cbInQue > 0;
}

// How long a wait on a port that was closed may take to end before it is given up.
constexpr DWORD kClosedPortGraceMs = 200;

} // namespace

CLinkWakeup::WaitResult CLinkWakeup::WaitWithEvent(void* lineEvent, int timeoutMs) {
    HANDLE handles[2];
    DWORD count = 0;
    if (m_hEvent != nullptr) {
        handles[count++] = static_cast<HANDLE>(m_hEvent);
    }
    handles[count++] = static_cast<HANDLE>(lineEvent);
    const DWORD woken = WaitForMultipleObjects(
        count, handles, FALSE, timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs));
    if (m_hEvent != nullptr && woken == WAIT_OBJECT_0) {
        (void)m_bSignalPending.exchange(false); // as in Wait: the next Signal sets it again
        return WaitResult::Signalled;
    }
    // The line resets its event when it reads.
    return woken == WAIT_OBJECT_0 + count - 1 ? WaitResult::PortReady : WaitResult::TimedOut;
}

CLinkWakeup::CLinkWakeup()
    : m_hEvent(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      m_pPortWait(std::make_unique<PortWait>()) {
    // Either event may be null when the system is out of handles: Wait then falls back to short
    // timed waits, or to waiting without the port.
}

CLinkWakeup::~CLinkWakeup() {
    if (m_pPortWait && m_pPortWait->Running() &&
        WaitForSingleObject(m_pPortWait->done, kClosedPortGraceMs) != WAIT_OBJECT_0) {
        // The port is closed by now, yet its wait has not ended: the system may still write
        // into it, so it must stay where it is.
        (void)m_pPortWait.release();
    }
    if (m_hEvent != nullptr) {
        (void)CloseHandle(static_cast<HANDLE>(m_hEvent));
    }
}

void CLinkWakeup::Signal() {
    // The event is set already when an earlier signal is still pending.
    if (m_hEvent != nullptr && !m_bSignalPending.exchange(true)) {
        (void)SetEvent(static_cast<HANDLE>(m_hEvent)); // fails only for a bad handle
    }
}

CLinkWakeup::WaitResult CLinkWakeup::Wait(SerialHandle port, int timeoutMs, LineWaitKind kind) {
    if (m_hEvent == nullptr) {
        // Without a wake-up event, keep the wait short so that queued messages and stop
        // requests are still seen promptly.
        timeoutMs = timeoutMs < 1 ? timeoutMs : 1;
    }
    if (kind == LineWaitKind::Event && port != nullptr) {
        return WaitWithEvent(static_cast<HANDLE>(port), timeoutMs);
    }
    const HANDLE portHandle = static_cast<HANDLE>(port);
    HANDLE handles[2];
    DWORD count = 0;
    if (m_hEvent != nullptr) {
        handles[count++] = static_cast<HANDLE>(m_hEvent);
    }

    PortWait* wait = m_pPortWait.get();
    if (portHandle != nullptr && wait != nullptr && wait->Running() && wait->port != portHandle &&
        !wait->Ended()) {
        // Still running on a port that has been closed since: give it a moment to end, else
        // leave it to the system and keep a new record for the new port.
        if (WaitForSingleObject(wait->done, kClosedPortGraceMs) == WAIT_OBJECT_0) {
            (void)wait->Ended();
        } else {
            (void)m_pPortWait.release();
            m_pPortWait = std::make_unique<PortWait>();
            wait = m_pPortWait.get();
        }
    }
    bool portWaitUsable = false;
    if (portHandle != nullptr && wait != nullptr && wait->done != nullptr) {
        if (wait->Ended()) {
            return WaitResult::PortReady; // it ended since the last call
        }
        if (!wait->Running()) {
            if (SetCommMask(portHandle, EV_RXCHAR)) {
                (void)ResetEvent(wait->done);
                wait->overlapped = OVERLAPPED{};
                wait->overlapped.hEvent = wait->done;
                wait->events = 0;
                if (WaitCommEvent(portHandle, &wait->events, &wait->overlapped)) {
                    return WaitResult::PortReady;
                }
                if (GetLastError() == ERROR_IO_PENDING) {
                    wait->port = portHandle;
                }
            }
            if (!wait->Running()) {
                // The port cannot be waited on (a line that is gone, or a driver without
                // events): the caller asks whether the line has gone, and waits without the
                // port, which keeps a dead port from making it spin.
                return WaitResult::PortFailed;
            }
        }
        if (wait->Running()) {
            // A byte that came after the caller's last read but before the wait began raises
            // no event: it is already in the queue. The wait stays for the next call.
            if (InputWaiting(portHandle)) {
                return WaitResult::PortReady;
            }
            portWaitUsable = true;
            handles[count++] = wait->done;
        }
    }

    DWORD woken = WAIT_TIMEOUT;
    if (count > 0) {
        woken = WaitForMultipleObjects(count, handles, FALSE,
                                       timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs));
    } else if (timeoutMs > 0) {
        Sleep(static_cast<DWORD>(timeoutMs));
    }

    if (m_hEvent != nullptr && woken == WAIT_OBJECT_0) {
        // The wait took the event: the next Signal must set it again. A Signal between the two
        // is not lost: the caller looks at the state after this returns, and this exchange
        // makes what that Signal announced visible.
        (void)m_bSignalPending.exchange(false);
        return WaitResult::Signalled;
    }
    // A port wait that ended is reported whatever it found: some drivers end it without an
    // event (wine on a pseudo-terminal does, every few milliseconds, once the input is read),
    // and the caller, finding no data, leaves the port out of its next wait instead of
    // spinning on it.
    if (portWaitUsable && woken == WAIT_OBJECT_0 + count - 1 && wait->Ended()) {
        return WaitResult::PortReady;
    }
    return WaitResult::TimedOut;
}

void CLinkWakeup::EndPortWait(SerialHandle port) {
    PortWait* wait = m_pPortWait.get();
    const HANDLE portHandle = static_cast<HANDLE>(port);
    if (portHandle == nullptr || wait == nullptr || !wait->Running() || wait->port != portHandle) {
        return;
    }
    // An empty event mask ends a pending wait at once. If it does not end in time, the record
    // stays for the next Wait (or the destructor) to deal with, as for any closed port.
    (void)SetCommMask(portHandle, 0);
    if (WaitForSingleObject(wait->done, kClosedPortGraceMs) == WAIT_OBJECT_0) {
        (void)wait->Ended();
    }
}
