#include "CComLink.h"

#include "LinkWorker.h"

#include <cstdio>
#include <span>
#include <system_error>

namespace {

// The worker reports 0 for a normal end and 2 for a port failure.
LinkEnd EndOfWorkerResult(int result) {
    return result == 2 ? LinkEnd::PortFailure : LinkEnd::Normal;
}

} // namespace

CComLink::~CComLink() {
    RequestStop();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

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
    if (m_context.running.load() == 1) {
        return 0;
    }
    if (m_thread.joinable()) {
        m_thread.join(); // the last worker has ended; only its thread object is left
    }
    m_context.port = port;
    m_context.baudRate = baudRate;
    m_context.notifier = m_pOwner->LinkNotifier();
    m_context.stopRequested.store(0);
    // Marked here and not only by the worker, so that a request queued the moment after the
    // click is not refused before the worker gets going.
    m_context.running.store(1);
    try {
        m_thread = LaunchWorker();
    } catch (const std::system_error&) {
        m_context.running.store(0);
        OnEnded(LinkEnd::NotStarted);
        return 0;
    }
    return 1;
}

int CComLink::WaitForWorkerEnd() {
    if (m_context.running.load() == 0) {
        return 0;
    }
    // A device frame may carry the ended event's number while the worker still runs; stopping
    // first keeps the join short and the link's state true in either case.
    RequestStop();
    if (m_thread.joinable()) {
        m_thread.join();
    }
    m_context.running.store(0);
    return 1;
}

int CComLink::RequestStop() {
    m_context.RequestStop();
    return 1;
}

void CComLink::OnDisconnect() {
    (void)RequestStop(); // nothing else changes until the ended event
}

void CComLink::OnLinkEvent() {
    LinkMessage message;
    if (!TakeForWindow(m_context, message)) {
        return;
    }
    switch (message.command) {
    case kLinkEventEnded:
        // After a worker that was stopped early the ended event it still put finds no worker
        // marked running: that end has been reported already.
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
        m_pOwner->OnDeviceMessage(message);
        break;
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
