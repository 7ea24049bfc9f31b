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
    // Called for the worker's ended event, after which it only returns; asking it to stop as
    // well keeps the join short should that ever change.
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
    // A bounded pass, so that the window's other events get their turn under a flood; what is
    // left asks for another pass behind them.
    for (std::size_t taken = 0; taken < kLinkEventPass; ++taken) {
        WindowItem item;
        if (!TakeForWindow(m_context, item)) {
            return;
        }
        if (item.isLinkEvent) {
            OnWorkerEvent(item.message.command);
        } else {
            // Whatever its command byte: only the worker's own events move the link's state.
            m_pOwner->OnDeviceMessage(item.message);
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
