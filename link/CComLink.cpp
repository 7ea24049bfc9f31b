#include "CComLink.h"

#include "LinkWorker.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>

namespace {

// The worker reports 0 for a normal end and 2 for a port failure.
LinkEnd EndOfWorkerResult(int result) {
    return result == 2 ? LinkEnd::PortFailure : LinkEnd::Normal;
}

} // namespace

bool CComLink::OnCmdMsg(unsigned id) {
    switch (id) {
    case ID_LINK_EVENT:
        OnLinkEvent();
        return true;
    case ID_CONNECT:
        OnConnect();
        return true;
    case ID_DISCONNECT:
        OnDisconnect();
        return true;
    default:
        return false;
    }
}

void CComLink::SetState(LinkState state) {
    m_state = state;
    m_pOwner->OnLinkStateChanged(state);
}

void CComLink::SetControlsDisconnected() {
    SetState(LinkState::Disconnected);
}

void CComLink::OnConnect() {
    if (m_bReconnecting) {
        EndReconnecting(nullptr); // "Połącz" by hand: a connection like any other
    }
    SetState(LinkState::Connecting);
    const LinkSettings settings = m_pOwner->CurrentLinkSettings();
    m_context.appDirectory = settings.directory;
    (void)StartWorker(settings.port, settings.baudRate); // a failure reports itself
}

std::thread CComLink::LaunchWorker() {
    return std::thread([context = &m_context] { (void)LinkThreadProc(context); });
}

int CComLink::StartWorker(int port, int baudRate) {
    switch (m_runner.Start(port, baudRate, m_pOwner->LinkNotifier(),
                           [this](LinkContext&) { return LaunchWorker(); })) {
    case CLinkRunner::StartResult::Started:
        return 1;
    case CLinkRunner::StartResult::StillRunning:
        return 0;
    case CLinkRunner::StartResult::NotStarted:
        break;
    }
    OnEnded(LinkEnd::NotStarted);
    return 0;
}

int CComLink::WaitForWorkerEnd() {
    return m_runner.JoinEnded() ? 1 : 0;
}

int CComLink::RequestStop() {
    m_runner.RequestStop();
    return 1;
}

void CComLink::OnDisconnect() {
    if (m_bReconnecting) {
        const bool tryRunning = m_state == LinkState::Connecting;
        EndReconnecting("Ponowne łączenie zatrzymane");
        if (!tryRunning) {
            SetState(LinkState::Disconnected);
            return;
        }
    }
    (void)RequestStop(); // nothing else changes until the ended event
}

void CComLink::StopReconnecting() {
    if (!m_bReconnecting) {
        return;
    }
    const bool tryRunning = m_state == LinkState::Connecting;
    EndReconnecting("Ponowne łączenie zatrzymane");
    if (tryRunning) {
        (void)RequestStop(); // the try's end comes as an ordinary stop
    } else {
        SetState(LinkState::Disconnected);
    }
}

void CComLink::EndReconnecting(const char* logLine) {
    m_bReconnecting = false;
    m_nTries = 0;
    m_pOwner->SetRetryTimer(0);
    if (logLine != nullptr) {
        m_pOwner->AppendLog(logLine, true);
    }
}

void CComLink::OnRetryTimer() {
    if (!m_bReconnecting || m_state != LinkState::Reconnecting) {
        return; // a tick that a stop overtook
    }
    if (!m_pOwner->AutoReconnect()) {
        StopReconnecting();
        return;
    }
    ++m_nTries;
    SetState(LinkState::Connecting);
    const LinkSettings settings = m_pOwner->CurrentLinkSettings();
    m_context.appDirectory = settings.directory;
    (void)StartWorker(settings.port, settings.baudRate); // a failure reports itself
}

void CComLink::ScheduleRetry(const PortFailure& failure) {
    constexpr std::size_t kLast = std::size(kRetryDelaysMs) - 1;
    const unsigned delay = kRetryDelaysMs[std::min<std::size_t>(m_nTries, kLast)];
    const std::string reason =
        failure.reason.empty() ? std::string("port unusable") : failure.reason;
    const std::string next = "; następna próba za " + std::to_string(delay / 1000) + " s";
    if (m_nTries == 0) {
        m_pOwner->AppendLog("Utracono połączenie (" + reason + ")" + next, true);
    } else {
        m_pOwner->AppendLog(
            "Próba " + std::to_string(m_nTries) + " nieudana (" + reason + ")" + next, true);
    }
    SetState(LinkState::Reconnecting);
    m_pOwner->SetRetryTimer(delay);
}

void CComLink::OnLinkEvent() {
    m_runner.TakePass(*this);
}

void CComLink::OnDeviceMessage(const LinkMessage& message) {
    m_pOwner->OnDeviceMessage(message);
}

void CComLink::OnWorkerEvent(std::uint8_t event) {
    switch (event) {
    case kLinkEventEnded:
        // The ended event of a worker that was stopped early finds none marked running: that
        // end has been reported already.
        if (WaitForWorkerEnd() == 1) {
            OnEnded(EndOfWorkerResult(m_context.result.load()));
        }
        break;
    case kLinkEventConnected:
        OnConnected();
        break;
    case kLinkEventOpening:
        OnOpening();
        break;
    default:
        break; // the worker puts no other event
    }
}

void CComLink::OnOpening() {
    if (m_bReconnecting) {
        return; // a try says how it went in one line when it ends
    }
    const LinkSettings settings = m_pOwner->CurrentLinkSettings();
    char line[96];
    std::snprintf(line, sizeof line, "Otwieranie portu COM%d , %db/s...", settings.port,
                  settings.baudRate);
    m_pOwner->AppendLog(line, true);
}

void CComLink::OnConnected() {
    if (m_bReconnecting) {
        const int tries = m_nTries;
        EndReconnecting(nullptr);
        m_pOwner->AppendLog("Połączono ponownie (próba " + std::to_string(tries) + ")", true);
    } else {
        m_pOwner->AppendLog("Połączono", true);
    }
    SetState(LinkState::Connected);
    m_pOwner->PollMeasurement(1);
}

void CComLink::OnEnded(LinkEnd end) {
    if (end == LinkEnd::PortFailure && m_bReconnecting) {
        m_pOwner->ReportPortFailure(m_context.failure); // a failed try: no box, the next try
        ScheduleRetry(m_context.failure);
        return;
    }
    if (end == LinkEnd::PortFailure && m_state == LinkState::Connected &&
        m_pOwner->AutoReconnect()) {
        // Lost while connected: the line is tried again instead of a box waiting for a person.
        m_pOwner->AppendLog("Rozłączono", true);
        m_pOwner->PollMeasurement(0);
        m_pOwner->ReportPortFailure(m_context.failure);
        m_bReconnecting = true;
        m_nTries = 0;
        ScheduleRetry(m_context.failure);
        return;
    }
    if (m_bReconnecting) {
        EndReconnecting(nullptr); // a try that could not start
    }
    m_pOwner->AppendLog("Rozłączono", true);
    SetState(LinkState::Disconnected);
    m_pOwner->PollMeasurement(0);
    switch (end) {
    case LinkEnd::Normal:
        break;
    case LinkEnd::PortFailure:
        m_pOwner->ReportPortFailure(m_context.failure); // the worker has been joined
        m_pOwner->ShowLinkMessage("Nie można korzystać z wybranego portu.\r\nRozłączono.");
        break;
    case LinkEnd::NotStarted:
        m_pOwner->ShowLinkMessage("Nieznany powod bledu");
        break;
    }
}
