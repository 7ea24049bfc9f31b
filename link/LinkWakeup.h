#pragma once

#include "SerialPort.h"

#include <atomic>
#include <memory>

// Lets other threads wake the link worker from its wait on the port: a message was queued for
// the device, or a stop was requested. Signals do not queue up: any number of them before a
// wait end that one wait.
class CLinkWakeup {
public:
    // PortFailed: the port could not be waited on (its device may have gone); returned at once.
    enum class WaitResult { Signalled, PortReady, TimedOut, PortFailed };

    CLinkWakeup();
    ~CLinkWakeup();

    CLinkWakeup(const CLinkWakeup&) = delete;
    CLinkWakeup& operator=(const CLinkWakeup&) = delete;

    // Any thread; never blocks and takes no lock.
    void Signal();

    // Worker thread only. Returns at once when Signal was called since the last wait (and
    // consumes it), otherwise when the port has input or a line event, or after timeoutMs.
    // With port kNoSerialHandle only signals and the timeout count. kind: what port is (on
    // Windows, a serial port's input events or an event object; POSIX polls either).
    WaitResult Wait(SerialHandle port, int timeoutMs, LineWaitKind kind = LineWaitKind::SerialPort);

    // Worker thread only, before the port closes: ends a wait on it that outlived Wait, and
    // waits briefly for that, since some drivers keep a port held (and refuse the next open)
    // while a wait on it is pending. Nothing to do where waits end with the call.
    void EndPortWait(SerialHandle port);

private:
#if defined(_WIN32)
    // The wait on a line that gives an event object (a network line) instead of a port.
    WaitResult WaitWithEvent(void* lineEvent, int timeoutMs);

    struct PortWait; // the system's record of a wait for port input, and what it reports into

    void* m_hEvent = nullptr; // auto-reset: set by Signal, consumed by the wait it ends
    // Set by the first Signal after a wait took the event: later ones need no system call.
    std::atomic<bool> m_bSignalPending{false};
    // A wait for port input outlives the call that started it: it is never cancelled, since
    // some drivers (wine's) never end a cancelled one, and the caller would wait forever.
    std::unique_ptr<PortWait> m_pPortWait;
#else
    int m_hRead = -1; // the wake-up is a pipe: Signal writes a byte, Wait polls and empties it
    int m_hWrite = -1;
#endif
};
