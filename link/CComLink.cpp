#include "CComLink.h"

#include "LinkWorker.h"
#include "ResourceIds.h"

#include <cstdio>
#include <span>
#include <system_error>

namespace {

// Whether the main window's button with this id is enabled in a link state.
struct ButtonState {
    int id;
    bool enabled;
};

constexpr ButtonState kDisconnected[] = {
    {IDC_CONNECT, true},  {IDC_DISCONNECT, false},  {IDC_CONNECTION_OPTIONS, true},
    {IDOK, true},         {IDC_VERSIONS, false},    {IDC_SENSOR_CONFIG, false},
    {IDC_OUTPUTS, false}, {IDC_UPDATE_TIME, false}, {IDC_READER_CONFIG, false},
    {IDC_MEASURE, false},
};

// Clock and reader stay off: the readout turns them on for a device that reports its model.
constexpr ButtonState kConnected[] = {
    {IDC_CONNECT, false}, {IDC_DISCONNECT, true},   {IDC_CONNECTION_OPTIONS, false},
    {IDOK, true},         {IDC_VERSIONS, true},     {IDC_SENSOR_CONFIG, true},
    {IDC_OUTPUTS, true},  {IDC_UPDATE_TIME, false}, {IDC_READER_CONFIG, false},
    {IDC_MEASURE, false},
};

// Pressing "Połącz" leaves the rest as it is.
constexpr ButtonState kConnecting[] = {
    {IDC_CONNECT, false},
    {IDC_CONNECTION_OPTIONS, false},
    {IDOK, false},
};

void ApplyButtonStates(ILinkOwner& owner, std::span<const ButtonState> states) {
    for (const ButtonState& state : states) {
        owner.EnableControl(state.id, state.enabled);
    }
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

void CComLink::SetControlsDisconnected() {
    ApplyButtonStates(*m_pOwner, kDisconnected);
}

void CComLink::OnConnect() {
    ApplyButtonStates(*m_pOwner, kConnecting);
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
        OnEnded(kWorkerNotStarted);
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
            OnEnded(m_context.result.load());
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
    ApplyButtonStates(*m_pOwner, kConnected);
    m_pOwner->PollMeasurement(1);
}

void CComLink::OnEnded(int result) {
    m_pOwner->AppendLog("Rozłączono", true);
    SetControlsDisconnected();
    m_pOwner->PollMeasurement(0);
    if (result == 2) {
        m_pOwner->ReportPortFailure(m_context.failure); // the worker has been joined
        m_pOwner->ShowLinkMessage("Nie można korzystać z wybranego portu.\r\nRozłączono.");
    } else if (result != 0) {
        m_pOwner->ShowLinkMessage("Nieznany powod bledu");
    }
}
