#include "CComLink.h"

#include "LinkWorker.h"

#include <cstdio>

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
    (void)RequestStop(); // nothing else changes until the ended event
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
    const LinkSettings settings = m_pOwner->CurrentLinkSettings();
    char line[96];
    std::snprintf(line, sizeof line, "Otwieranie portu COM%d , %db/s...", settings.port,
                  settings.baudRate);
    m_pOwner->AppendLog(line, true);
}

void CComLink::OnConnected() {
    m_pOwner->AppendLog("Połączono", true);
    SetState(LinkState::Connected);
    m_pOwner->PollMeasurement(1);
}

void CComLink::OnEnded(LinkEnd end) {
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
