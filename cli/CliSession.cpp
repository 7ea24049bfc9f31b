#include "CliSession.h"

#include "CComLink.h"
#include "ConsoleStream.h"
#include "MappedLine.h"
#include "UiText.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>
#include <QTimerEvent>

#include <cstdio>

#if defined(_WIN32)
#include <QWinEventNotifier>
#endif

namespace {

// A command for the session, posted from any thread.
class CCommandEvent : public QEvent {
public:
    static QEvent::Type Kind() {
        static const auto kind = static_cast<QEvent::Type>(QEvent::registerEventType());
        return kind;
    }
    explicit CCommandEvent(unsigned id) : QEvent(Kind()), m_id(id) {}
    unsigned Id() const { return m_id; }

private:
    unsigned m_id;
};

constexpr CompletionFn kAnswerFn = &CompletionThunk<CCliSession, &CCliSession::OnAnswer>;

} // namespace

CCliSession::CCliSession(CliLinkTarget target, std::uint8_t address)
    : m_target(std::move(target)), m_nAddress(address) {}

CCliSession::~CCliSession() {
    Disconnect();
}

void CCliSession::WatchStop(CCliStop& stop) {
    if (stop.Requested()) {
        Interrupt();
        return;
    }
#if defined(_WIN32)
    if (stop.Event() != nullptr) {
        auto* notifier = new QWinEventNotifier(stop.Event(), this); // a child of this
        connect(notifier, &QWinEventNotifier::activated, this, [this, notifier, &stop] {
            // Stays set: one stop is enough.
            notifier->setEnabled(false);
            static_cast<void>(stop.Requested());
            Interrupt();
        });
    }
#else
    if (stop.Fd() >= 0) {
        m_pStopNotifier = new QSocketNotifier(stop.Fd(), QSocketNotifier::Read, this);
        connect(m_pStopNotifier, &QSocketNotifier::activated, this, [this, &stop] {
            // One stop is enough, later signals change nothing.
            m_pStopNotifier->setEnabled(false);
            static_cast<void>(stop.Requested()); // takes which signal it was
            Interrupt();
        });
    }
#endif
}

void CCliSession::Interrupt() {
    m_bInterrupted = true;
    Wake();
}

bool CCliSession::Connect(std::string& reason, std::string& device) {
    m_context.appDirectory = m_target.settingsDirectory;
    m_context.makePort = MappedPortFactory(); // a port mapped in ports.json is a network one
    m_phase = Phase::Opening;
    // postEvent is thread-safe; the worker is joined before this object goes.
    const auto notifier = GatedNotifier(m_pNotifyGate, [this] {
        QCoreApplication::postEvent(this, new CCommandEvent(ID_LINK_EVENT));
    });
    if (m_runner.Start(m_target.port, m_target.baudRate, notifier) !=
        CLinkRunner::StartResult::Started) {
        m_phase = Phase::Ended;
        reason = "cannot start the link: " + m_runner.StartFailure();
        return false;
    }
    WaitUntil([this] { return m_phase != Phase::Opening; });
    if (m_phase == Phase::Connected) {
        return true;
    }
    if (m_bInterrupted) {
        reason = "stopped";
    } else {
        reason = m_context.failure.reason;
        device = m_context.failure.device;
    }
    Disconnect();
    return false;
}

std::optional<LinkMessage> CCliSession::Request(std::uint8_t command, const std::uint8_t* payload,
                                                std::uint8_t length) {
    if (m_bInterrupted || m_phase != Phase::Connected) {
        return std::nullopt;
    }
    m_answer.reset();
    m_bAnswerDue = true;
    m_nExpectedCommand = command;
    m_queue.AddRequest(m_nAddress, command, payload, length, this, kAnswerFn);
    WaitUntil([this] { return !m_bAnswerDue; });
    return m_bAnswerDue ? std::nullopt : m_answer;
}

bool CCliSession::Pause(unsigned milliseconds) {
    bool elapsed = false;
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, [this, &elapsed] {
        elapsed = true;
        Wake();
    });
    timer.start(static_cast<int>(milliseconds));
    WaitUntil([&elapsed] { return elapsed; });
    return elapsed;
}

void CCliSession::Disconnect() {
    m_runner.Stop();
    m_queue.Reset();
    m_timers.Clear();
    if (m_phase != Phase::Idle) {
        m_phase = Phase::Ended;
    }
}

void CCliSession::OnAnswer(const LinkMessage* answer) {
    // A late repeat of an earlier request's answer (the queue hands what comes while nothing is
    // outstanding to the request sent last) is not this request's: its own outcome follows.
    if (!m_bAnswerDue || (answer != nullptr && answer->command != m_nExpectedCommand)) {
        return;
    }
    if (answer != nullptr) {
        m_answer = *answer;
    }
    m_bAnswerDue = false;
}

void CCliSession::PostCommand(unsigned id) {
    QCoreApplication::postEvent(this, new CCommandEvent(id));
}

void CCliSession::PutForDevice(const LinkMessage& message) {
    // Always 1: a message while no worker runs is dropped and ends as the request's time-out.
    (void)::PutForDevice(m_context, message);
}

void CCliSession::AppendLog(const std::string& text, bool newLine) {
    // Only device texts reach the log here; they go to standard error, one line each.
    (void)newLine;
    // The device's words stay as they came; only the line's own words are translated.
    (void)WriteToStream(stderr,
                        UiTextUtf8("device text: " + text) + "\n"); // nowhere left to report it
}

void CCliSession::StartTimer(void* object, TimerFn callback, unsigned elapse, int parameter) {
    m_timers.StartTimer(object, callback, elapse, parameter);
}

void CCliSession::StopTimers(void* object, TimerFn callback, int parameter) {
    m_timers.StopTimers(object, callback, parameter);
}

bool CCliSession::IsTimerPending(void* object, TimerFn callback, int parameter) {
    return m_timers.IsTimerPending(object, callback, parameter);
}

void CCliSession::SetWindowTimer(unsigned id, unsigned milliseconds) {
    const int qtId = startTimer(static_cast<int>(milliseconds));
    if (qtId != 0) { // none left: the one-shot never fires, and its request ends unanswered
        m_qtTimers[qtId] = id;
    }
}

void CCliSession::KillWindowTimer(unsigned id) {
    for (auto it = m_qtTimers.begin(); it != m_qtTimers.end(); ++it) {
        if (it->second == id) {
            killTimer(it->first);
            m_qtTimers.erase(it);
            return;
        }
    }
}

bool CCliSession::event(QEvent* event) {
    if (event->type() != CCommandEvent::Kind()) {
        return QObject::event(event);
    }
    const unsigned id = static_cast<CCommandEvent*>(event)->Id();
    if (id == ID_LINK_EVENT) {
        OnLinkEvent();
    } else {
        (void)m_queue.OnCmdMsg(id); // ID_REQUEST_DONE is the only other command
    }
    Wake();
    return true;
}

void CCliSession::timerEvent(QTimerEvent* event) {
    const auto it = m_qtTimers.find(event->timerId());
    if (it == m_qtTimers.end()) {
        killTimer(event->timerId()); // not the table's: a stray tick
        return;
    }
    m_timers.OnTimer(it->second); // kills it through KillWindowTimer before the callback
    Wake();
}

void CCliSession::OnLinkEvent() {
    m_pNotifyGate->Open(); // an entry put after the takes below notifies again
    m_runner.TakePass(*this);
}

void CCliSession::OnWorkerEvent(std::uint8_t event) {
    if (event == kLinkEventEnded) {
        m_runner.Stop();
        m_phase = Phase::Ended;
    } else if (event == kLinkEventConnected) {
        m_phase = Phase::Connected;
    }
}

void CCliSession::OnDeviceMessage(const LinkMessage& message) {
    m_queue.OnDeviceMessage(message); // whatever its command byte
}

template <typename Done> void CCliSession::WaitUntil(Done done) {
    while (!done() && !m_bInterrupted) {
        QEventLoop loop;
        m_pLoop = &loop;
        loop.exec();
        m_pLoop = nullptr;
    }
}

void CCliSession::Wake() {
    if (m_pLoop != nullptr) {
        m_pLoop->quit();
    }
}
