#pragma once

#include "CmdTarget.h"
#include "LinkContext.h"
#include "LinkOwner.h"
#include "LinkRunner.h"
#include "LinkState.h"

#include <cstddef>
#include <cstdint>
#include <thread>

// Command ids the link controller handles.
inline constexpr unsigned ID_LINK_EVENT = 101; // posted by the worker: entries wait for the window
inline constexpr unsigned ID_CONNECT = 1000;
inline constexpr unsigned ID_DISCONNECT = 1001;

// The user-interface side of the device link: "Połącz" and "Rozłącz", the worker thread, the
// link events with their log lines, the link's state and message boxes, and the hand-over of
// every other message to the request queue.
class CComLink : public CCmdTarget, private ILinkEventSink {
public:
    static constexpr std::size_t kLinkEventPass = CLinkRunner::kLinkEventPass;

    explicit CComLink(ILinkOwner& owner) : m_pOwner(&owner) {}

    bool OnCmdMsg(unsigned id) override;

    LinkState State() const { return m_state; }
    // Tells the owner the link is disconnected, as at the start.
    void SetControlsDisconnected();
    // 1 started, 0 refused because a worker is still marked as running, or could not be started
    // (which is then reported as the link's end).
    int StartWorker(int port, int baudRate);
    // Waits for the worker to end once its ended event has come; 0 when none was marked running.
    int WaitForWorkerEnd();
    // Asks the worker to stop; it says so with its ended event. Never waits.
    int RequestStop();

    void OnConnect();
    void OnDisconnect();
    // Takes up to kLinkEventPass entries from the worker, oldest first: link events change the
    // link's state, device messages go to the owner (also those whose command byte equals a
    // link event's number). Notifies again when more are left.
    void OnLinkEvent();
    void OnOpening();
    void OnConnected();
    void OnEnded(LinkEnd end);

    // Waits between the tries to bring a lost line back, in milliseconds; the last repeats.
    static constexpr unsigned kRetryDelaysMs[] = {2000, 5000, 10000, 30000};
    // The owner's retry timer fired: the next try starts.
    void OnRetryTimer();
    // Stops trying a lost line again ("Łącz ponownie automatycznie" turned off); the link is
    // disconnected then. Does nothing while not reconnecting.
    void StopReconnecting();
    // Since a line was lost, until it is back or the user stops it.
    bool Reconnecting() const { return m_bReconnecting; }

    LinkContext m_context;

protected:
    // Starts the worker thread on the context; throws std::system_error when it cannot.
    virtual std::thread LaunchWorker();

private:
    void SetState(LinkState state);
    // ILinkEventSink
    void OnWorkerEvent(std::uint8_t event) override;
    void OnDeviceMessage(const LinkMessage& message) override;

    // A lost line and each failed try: the log line, and the wait before the next try.
    void ScheduleRetry(const PortFailure& failure);
    void EndReconnecting(const char* logLine);

    LinkState m_state = LinkState::Disconnected;
    ILinkOwner* m_pOwner;
    bool m_bReconnecting = false;
    int m_nTries = 0; // tries made since the line was lost
    // Declared after the context: it stops and joins the worker before the context goes.
    CLinkRunner m_runner{m_context};
};
