#pragma once

#include "LinkContext.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

// Where a pass over the worker's entries delivers them, on the thread that takes them.
class ILinkEventSink {
public:
    // kLinkEventOpening, kLinkEventConnected or kLinkEventEnded, as the worker put it.
    virtual void OnWorkerEvent(std::uint8_t event) = 0;
    // A message from the device, whatever its command byte: only the worker's own events move
    // the link's state.
    virtual void OnDeviceMessage(const LinkMessage& message) = 0;

protected:
    ~ILinkEventSink() = default;
};

// The worker thread of a connection, seen from the side that runs it: started on a context it
// shares with the worker, asked to stop, joined; and the bounded take of what the worker put
// for that side. The window's link controller and qal-cli's session both run the link through
// this, so how a worker starts and ends is written once. The context outlives this object.
class CLinkRunner {
public:
    // Entries one pass takes at most, so that other events get their turn under a flood.
    static constexpr std::size_t kLinkEventPass = 64;

    enum class StartResult { Started, StillRunning, NotStarted };
    // Starts the worker thread on the context; throws std::system_error when it cannot.
    using Launcher = std::function<std::thread(LinkContext& context)>;

    explicit CLinkRunner(LinkContext& context) : m_context(context) {}
    // Stops a running worker and waits for it: the context it uses may go next.
    ~CLinkRunner() { Stop(); }
    CLinkRunner(const CLinkRunner&) = delete;
    CLinkRunner& operator=(const CLinkRunner&) = delete;

    // Starts a worker on port and speed (the context's folder and line factory as they are),
    // which calls notifier for every entry it puts. StillRunning while a worker is marked as
    // running; NotStarted when no thread could be made (StartFailure says why).
    StartResult Start(int port, int baudRate, std::function<void()> notifier,
                      const Launcher& launch = {});
    const std::string& StartFailure() const { return m_startFailure; }

    // Asks the worker to stop; it says so with its ended event. Never waits. Any thread.
    void RequestStop() { m_context.RequestStop(); }
    // For the worker's ended event, after which it only returns: joins it. False when none was
    // marked running (that end has been handled already).
    bool JoinEnded();
    // Asks the worker to stop and joins it; nothing runs when this returns.
    void Stop();

    // Takes up to kLinkEventPass entries, oldest first, into sink; notifies again when more are
    // left behind them.
    void TakePass(ILinkEventSink& sink);

private:
    LinkContext& m_context;
    std::thread m_thread;
    std::string m_startFailure;
};
