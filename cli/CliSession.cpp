#include "CliSession.h"

#include "CComLink.h"
#include "LinkWorker.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>
#include <QTimerEvent>

#include <cstdio>
#include <system_error>

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

void CCliSession::WatchStopDescriptor(int fd) {
    m_pStopNotifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_pStopNotifier, &QSocketNotifier::activated, this, [this] {
        // Stays readable: one stop is enough, later signals change nothing.
        m_pStopNotifier->setEnabled(false);
        Interrupt();
    });
}

void CCliSession::Interrupt() {
    m_bInterrupted = true;
    Wake();
}

bool CCliSession::Connect(std::string& failure) {
    m_context.port = m_target.port;
    m_context.baudRate = m_target.baudRate;
    m_context.appDirectory = m_target.settingsDirectory;
    // postEvent is thread-safe; the worker is joined before this object goes.
    m_context.notifier = GatedNotifier(m_pNotifyGate, [this] {
        QCoreApplication::postEvent(this, new CCommandEvent(ID_LINK_EVENT));
    });
    m_context.stopRequested.store(0);
    m_context.running.store(1);
    m_phase = Phase::Opening;
    try {
        m_worker = std::thread(LinkThreadProc, &m_context);
    } catch (const std::system_error& error) {
        m_context.running.store(0);
        m_phase = Phase::Ended;
        failure = std::string("cannot start the link: ") + error.what();
        return false;
    }
    WaitUntil([this] { return m_phase != Phase::Opening; });
    if (m_phase == Phase::Connected) {
        return true;
    }
    if (m_bInterrupted) {
        failure = "stopped";
    } else {
        const PortFailure& why = m_context.failure;
        failure = "COM" + std::to_string(why.port) + " (" + why.device + "): " + why.reason;
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
    m_context.RequestStop();
    if (m_worker.joinable()) {
        m_worker.join();
    }
    m_context.running.store(0);
    m_queue.Reset();
    for (const auto& timer : m_timers) {
        killTimer(timer.first);
    }
    m_timers.clear();
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
    std::fprintf(stderr, "device text: %s\n", text.c_str());
}

void CCliSession::StartTimer(void* object, TimerFn callback, unsigned elapse, int parameter) {
    const int id = startTimer(static_cast<int>(elapse));
    if (id != 0) {
        m_timers[id] = TimerEntry{callback, object, parameter};
    }
}

void CCliSession::StopTimers(void* object, TimerFn callback, int parameter) {
    for (auto it = m_timers.begin(); it != m_timers.end();) {
        const TimerEntry& entry = it->second;
        if (entry.object == object && entry.callback == callback && entry.parameter == parameter) {
            killTimer(it->first);
            it = m_timers.erase(it);
        } else {
            ++it;
        }
    }
}

bool CCliSession::IsTimerPending(void* object, TimerFn callback, int parameter) {
    for (const auto& timer : m_timers) {
        const TimerEntry& entry = timer.second;
        if (entry.object == object && entry.callback == callback && entry.parameter == parameter) {
            return true;
        }
    }
    return false;
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
    const auto it = m_timers.find(event->timerId());
    killTimer(event->timerId());
    if (it == m_timers.end()) {
        return;
    }
    const TimerEntry entry = it->second;
    m_timers.erase(it); // one-shot: gone before its callback may start it again
    entry.callback(entry.object, entry.parameter);
    Wake();
}

void CCliSession::OnLinkEvent() {
    m_pNotifyGate->Open(); // an entry put after the takes below notifies again
    // A bounded pass, so that timers and completions get their turn under a flood.
    for (std::size_t taken = 0; taken < CComLink::kLinkEventPass; ++taken) {
        WindowItem item;
        if (!TakeForWindow(m_context, item)) {
            return;
        }
        if (!item.isLinkEvent) {
            m_queue.OnDeviceMessage(item.message); // whatever its command byte
        } else if (item.message.command == kLinkEventEnded) {
            m_context.RequestStop();
            if (m_worker.joinable()) {
                m_worker.join();
            }
            m_context.running.store(0);
            m_phase = Phase::Ended;
        } else if (item.message.command == kLinkEventConnected) {
            m_phase = Phase::Connected;
        }
    }
    bool more = false;
    {
        const std::lock_guard<std::mutex> guard(m_context.lock);
        more = !m_context.toWindow.Empty();
    }
    if (more && m_context.notifier) {
        m_context.notifier();
    }
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
