#pragma once

#include "FrameParser.h"
#include "LineDefaults.h"
#include "LinePort.h"
#include "LinkMessage.h"
#include "LinkWakeup.h"
#include "MessageList.h"
#include "WindowList.h"
#include "WireTrace.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

// Everything the user-interface thread and the link worker share. Owned by the link controller
// and reused by every connection; nothing is cleared at connect, so messages left for the
// device by one run are sent by the next.
struct LinkContext {
    LinkContext() = default;
    LinkContext(const LinkContext&) = delete;
    LinkContext& operator=(const LinkContext&) = delete;

    // Set by the controller before it starts a worker; read-only while one runs.
    int port = kDefaultPort;
    int baudRate = kDefaultBaudRate;
    std::string appDirectory; // where COM<n> links are looked up (see CSerialPort)
    // Makes the line a connection talks through; empty: the serial port of that number.
    LinePortFactory makePort;
    // Called on the worker thread once per entry put for the window, with no lock held. It
    // only posts a notification to the user-interface thread (the window posts it only while
    // none of its own is outstanding, see CNotifyGate) (QCoreApplication::postEvent,
    // which is thread-safe and cannot fail while the window lives; the controller stops and
    // joins the worker before the window goes), so the worker has no failure to report.
    std::function<void()> notifier;

    // Flags read and written by both threads without the lock.
    std::atomic<int> stopRequested{0}; // the worker leaves its loop once it sees 1
    std::atomic<int> running{0};       // 0: no worker attached, puts into either list are refused
    std::atomic<int> result{0};        // of the last run: 0 ended normally, 2 the port failed
    // Why the last run ended with 2. Written by the worker before it sets result; read by the
    // controller only after it has joined the worker.
    PortFailure failure;

    std::mutex lock; // guards both lists, for one list operation at a time
    CMessageList toDevice;
    // How many messages toDevice holds, written under the lock, so that the worker can look
    // for outgoing messages between received bytes without taking it.
    std::atomic<std::size_t> toDevicePending{0};
    CWindowList toWindow; // bounded; see CWindowList for what a flood pushes out

    std::uint8_t rxStore[FrameParser::kCapacity] = {}; // the worker's receive store
    CLinkWakeup wakeup;                                // wakes the worker from its wait
    // Written by the worker while somebody listens, drained by the user-interface thread.
    CWireTrace wireTrace;

    // Asks the worker to leave its loop and wakes it if it is waiting. Any thread.
    void RequestStop();
};

// The list operations. Each holds the lock for that one operation only. A put while no worker
// is running is dropped silently; the puts return 1 either way. The takes return 1 when an
// entry was taken, 0 when the list was empty.
int PutForWindow(LinkContext& context, const LinkMessage& message); // worker; then notifies
int PutLinkEvent(LinkContext& context, LinkEvent event);            // worker; then notifies
int TakeForWindow(LinkContext& context, WindowItem& item);          // user interface
// For callers that only look at command numbers: a link event comes out as a message whose
// command is its number, indistinguishable from a device frame with that command.
int TakeForWindow(LinkContext& context, LinkMessage& message);
int PutForDevice(LinkContext& context, const LinkMessage& message); // user interface
int TakeForDevice(LinkContext& context, LinkMessage& message);      // worker
