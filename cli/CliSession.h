#pragma once

#include "CQueue.h"
#include "CliStop.h"
#include "LinkContext.h"
#include "LinkRunner.h"
#include "NotifyGate.h"
#include "TimerTable.h"

#include <QObject>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

class QEventLoop;
class QSocketNotifier;

// Where the link goes: the port number, its speed, and the folder its COM<n> link is looked up in.
struct CliLinkTarget {
    std::string settingsDirectory;
    int port = 0;
    int baudRate = 0;
};

// The terminal's link worker and request queue under a Qt Core event loop, for a program
// without windows: requests wait in a local loop for their completion, so that each command
// reads as a plain sequence of steps.
class CCliSession final : public QObject,
                          public IQueueOwner,
                          private ILinkEventSink,
                          private ITimerBackend {
public:
    CCliSession(CliLinkTarget target, std::uint8_t address);
    ~CCliSession() override; // stops and joins the worker

    // The user's request to stop (the signal handler's pipe, or on Windows the console
    // handler's event): every wait then ends and Interrupted() holds. stop outlives the session.
    void WatchStop(CCliStop& stop);
    // The user asked to stop: no further requests are sent.
    void Interrupt();
    bool Interrupted() const { return m_bInterrupted; }
    // The port is open and the worker runs (it ends when the device goes away).
    bool LinkUp() const { return m_phase == Phase::Connected; }

    // Starts the worker and waits until the port is open; false when it could not be opened,
    // with the reason and the device the port reached (empty when none was tried).
    bool Connect(std::string& reason, std::string& device);
    // One request through the queue; nothing when no answer came in time or when interrupted.
    std::optional<LinkMessage> Request(std::uint8_t command, const std::uint8_t* payload = nullptr,
                                       std::uint8_t length = 0);
    // Waits, events running; false when interrupted.
    bool Pause(unsigned milliseconds);
    // Asks the worker to stop and joins it; the port is closed when this returns.
    void Disconnect();

    // The queue's completion of the request Request waits for.
    void OnAnswer(const LinkMessage* answer);

    // IQueueOwner
    void PostCommand(unsigned id) override;
    void PutForDevice(const LinkMessage& message) override;
    void AppendLog(const std::string& text, bool newLine) override;
    void StartTimer(void* object, TimerFn callback, unsigned elapse, int parameter) override;
    void StopTimers(void* object, TimerFn callback, int parameter) override;
    bool IsTimerPending(void* object, TimerFn callback, int parameter) override;

protected:
    bool event(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    enum class Phase { Idle, Opening, Connected, Ended };

    void OnLinkEvent();
    // ILinkEventSink
    void OnWorkerEvent(std::uint8_t event) override;
    void OnDeviceMessage(const LinkMessage& message) override;
    // ITimerBackend: the table's one-shots as Qt timers of this object.
    void SetWindowTimer(unsigned id, unsigned milliseconds) override;
    void KillWindowTimer(unsigned id) override;
    // Runs events until done() holds or the user asks to stop.
    template <typename Done> void WaitUntil(Done done);
    void Wake();

    CliLinkTarget m_target;
    std::uint8_t m_nAddress;
    LinkContext m_context;
    CLinkRunner m_runner{m_context}; // after the context: joins the worker before it goes
    // One link notification outstanding at a time, however fast the device sends.
    std::shared_ptr<CNotifyGate> m_pNotifyGate = std::make_shared<CNotifyGate>();
    CQueue m_queue{*this};
    Phase m_phase = Phase::Idle;
    CTimerTable m_timers{*this};
    std::map<int, unsigned> m_qtTimers; // Qt's timer id -> the table's
    QEventLoop* m_pLoop = nullptr;
    QSocketNotifier* m_pStopNotifier = nullptr; // child of this
    bool m_bInterrupted = false;
    bool m_bAnswerDue = false;
    std::uint8_t m_nExpectedCommand = 0;
    std::optional<LinkMessage> m_answer;
};
