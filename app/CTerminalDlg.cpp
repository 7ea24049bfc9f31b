#include "CTerminalDlg.h"

#include "CAboutDlg.h"
#include "CComLink.h"
#include "CFindDeviceDlg.h"
#include "CLanguageDlg.h"
#include "CLineMonitorWnd.h"
#include "CNetworkPortsDlg.h"
#include "CPortDlg.h"
#include "CWaitDlg.h"
#include "CWinApp.h"
#include "ClockUpdate.h"
#include "ConfigFile.h"
#include "ConsoleStream.h"
#include "DataExchange.h"
#include "DeviceFileOperations.h"
#include "FileError.h"
#include "LinkButtons.h"
#include "MappedLine.h"
#include "MessageBoxTypes.h"
#include "NotifyGate.h"
#include "PortFailureText.h"
#include "ProgramVersion.h"
#include "ResourceIds.h"
#include "RowDecoder.h"
#include "SettingsLocation.h"
#include "SettingsOperations.h"
#include "StringTable.h"
#include "SystemPortCandidates.h"
#include "UiText.h"
#include "VersionQuery.h"
#include "WindowMenuCommands.h"
#include "WindowPlacement.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>

#include <chrono>
#include <cstdio>

namespace {

std::string FormatVersion(int version) {
    char text[64];
    std::snprintf(text, sizeof text, "Terminal QAL Mar 26 2008, wersja %3d", version);
    return text;
}

// Everything up to and including the last path separator; empty when there is none.
std::string DirectoryOf(const std::string& filePath) {
#if defined(_WIN32)
    const std::size_t separator = filePath.find_last_of("/\\");
#else
    const std::size_t separator = filePath.find_last_of('/');
#endif
    return separator == std::string::npos ? std::string() : filePath.substr(0, separator + 1);
}

} // namespace

CTerminalDlg::CTerminalDlg(const TerminalHistoryCaps& caps)
    : CDialog(IDD_TERMINAL), m_journal(caps.journalLines),
      m_readingTools([this](const std::string& line) { AppendLog(line, true); }, caps.trendPoints),
      m_pLink(std::make_unique<CComLink>(static_cast<ILinkOwner&>(*this))),
      m_pQueue(std::make_unique<CQueue>(static_cast<IQueueOwner&>(*this))),
      m_pWaitDlg(std::make_unique<CWaitDlg>(static_cast<IReadoutOwner&>(*this))) {
    // A port that ports.json maps is a network one; the file is read at each connection.
    m_pLink->m_context.makePort = MappedPortFactory();
    BuildWindowMenu();
}

CTerminalDlg::~CTerminalDlg() = default;

void CTerminalDlg::DoDataExchange(CDataExchange& dx) {
    DDX_Control(dx, IDC_LOG, m_editLog);
    DDX_Control(dx, IDC_SPEED, m_editSpeed);
}

// The one table of the window menu: About, and the tools that go beyond the buttons.
void CTerminalDlg::BuildWindowMenu() {
    const std::string aboutText = LoadStringResource(IDS_ABOUTBOX);
    if (!aboutText.empty()) {
        m_menu.Add(IDM_ABOUTBOX, QString::fromStdString(aboutText), {}, [this] { OnAbout(); });
    }
    m_menu.Add(WindowMenuCommand::kLineMonitor, QStringLiteral("Podgląd transmisji"),
               QKeySequence(Qt::CTRL | Qt::Key_T), [this] { OnLineMonitor(); });
    m_menu.Add(WindowMenuCommand::kSaveJournal, QStringLiteral("Zapisz dziennik…"), {},
               [this] { OnSaveJournal(); });
    // The settings files talk to the device, so they wait for a connection.
    const auto connected = [this] { return m_pLink && m_pLink->State() == LinkState::Connected; };
    m_menu
        .Add(WindowMenuCommand::kSaveSettings,
             QStringLiteral("Zapisz ustawienia urządzenia do pliku…"), {},
             [this] { RunSaveSettingsToFile(*this, FileContext()); })
        .enabled = connected;
    m_menu
        .Add(WindowMenuCommand::kCompareSettings, QStringLiteral("Porównaj / przywróć z pliku…"),
             {}, [this] { RunCompareWithFile(*this, FileContext()); })
        .enabled = connected;
    m_menu
        .Add(WindowMenuCommand::kSettingsSheet, QStringLiteral("Arkusz ustawień…"), {},
             [this] { RunSettingsSheet(*this, FileContext()); })
        .enabled = connected;
    m_menu.Add(WindowMenuCommand::kTrend, QStringLiteral("Wykres prędkości"),
               QKeySequence(Qt::CTRL | Qt::Key_G),
               [this] { m_readingTools.ShowTrend(GetWindow()); });
    m_menu
        .Add(WindowMenuCommand::kRecording, QStringLiteral("Zapisuj odczyty do pliku…"), {},
             [this] { m_readingTools.ToggleRecording(GetWindow()); })
        .checked = [this] { return m_readingTools.IsRecording(); };
    // Ports are tried only while the link leaves them alone.
    m_menu
        .Add(WindowMenuCommand::kFindDevice, QStringLiteral("Znajdź urządzenie…"), {},
             [this] { OnFindDevice(); })
        .enabled = [this] { return m_pLink->State() == LinkState::Disconnected; };
    m_menu.Add(WindowMenuCommand::kNetworkPorts, QStringLiteral("Porty sieciowe…"), {},
               [this] { OnNetworkPorts(); });
    m_menu
        .Add(WindowMenuCommand::kAutoReconnect, QStringLiteral("Łącz ponownie automatycznie"), {},
             [this] { OnToggleReconnect(); })
        .checked = [this] { return m_networkPorts.reconnect; };
    // Named in both languages, so that it is found whichever the program speaks.
    m_menu.Add(WindowMenuCommand::kLanguage, QStringLiteral("Język / Language"), {},
               [this] { RunLanguageChoice(*this, m_strAppDir); });
}

DeviceFileContext CTerminalDlg::FileContext() {
    DeviceFileContext context;
    context.port = "COM" + std::to_string(m_settings.port);
    context.baudRate = m_settings.baudRate;
    context.address = DeviceAddress();
    context.programVersion = kTerminalVersion;
    context.parent = GetWindow();
    context.askFileName = [this](FileQuestion question, const std::string& suggested) {
        return AskFileName(question, suggested);
    };
    return context;
}

std::string CTerminalDlg::AskFileName(FileQuestion question, const std::string& suggested) {
    return AskFileNameWithDialog(GetWindow(), question, suggested);
}

void CTerminalDlg::OnWindowBuilt() {
    GetWindow()->setWindowIcon(DialogBuilder::AppIcon());
    m_menu.InstallShortcuts(*GetWindow());
    m_menu.AppendToSystemMenu(*GetWindow());
}

void CTerminalDlg::OnInitSystemMenu() {
    m_menu.RefreshSystemMenu(*GetWindow());
}

bool CTerminalDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_strAppDir = SettingsDirectory(DirectoryOf(GetModuleFileName()), ProcessEnvironment);

    m_strVersion = FormatVersion(kTerminalVersion);
    AppendLog(m_strVersion, false);
    AppendLog("Inicjalizacja...", true);
    if (!LoadSettings()) {
        AfxMessageBox("Nie znaleziono pliku konfiguracyjnego . Przyjęto wartości domyślne.",
                      MB_OK | MB_ICONEXCLAMATION);
    }
    LoadNetworkPortSettings();

    if (!m_font) {
        CreateReadoutFont();
    }
    m_editSpeed->setFont(*m_font);
    // Lines are only ever added: an undo history would keep every one of them.
    m_editLog->setUndoRedoEnabled(false);
    SetDlgItemText(IDC_SPEED, kNoSpeedText);

    m_pLink->SetControlsDisconnected();
    m_pQueue->Reset();
    return true;
}

// 31 points, fixed pitch, medium weight, characters 13 pixels wide: the readout must fit
// " 12.3 [m/s]" into its field.
void CTerminalDlg::CreateReadoutFont() {
    const int dpi = GetWindow()->logicalDpiY();
#if defined(_WIN32)
    // Fixed-pitch faces every Windows has, with the Central European letters; the free one where
    // a stripped-down system has neither.
    QFont font;
    font.setFamilies({QStringLiteral("Consolas"), QStringLiteral("Courier New"),
                      QStringLiteral("DejaVu Sans Mono")});
#else
    QFont font(QStringLiteral("Monospace"));
#endif
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setWeight(QFont::Medium);
    font.setPixelSize(std::max(1, dpi * 310 / 720));
    const int naturalWidth = QFontMetrics(font).horizontalAdvance(QLatin1Char('0'));
    const int wantedWidth = 13 * dpi / 96;
    if (naturalWidth > 0) {
        font.setStretch(std::clamp(wantedWidth * 100 / naturalWidth, 1, 4000));
    }
    m_font = font;
}

void CTerminalDlg::OnDestroy() {
    m_pMonitor.reset(); // stops listening to the trace of the link that goes below
    // The link controller stops its worker and waits for it to end before it goes: the worker
    // notices within milliseconds, a write stalled on the line included.
    if (m_pLink) {
        m_pLink->RequestStop();
    }
    m_pLink.reset();
    m_pQueue.reset();
    m_pWaitDlg.reset();
    m_timers.Clear(); // their window goes; their objects went above
    // The controls go with the window.
    m_editLog = nullptr;
    m_editSpeed = nullptr;
    m_shownIn = nullptr; // a new pane may come at the same address
}

std::string CTerminalDlg::GetModuleFileName() const {
    // As the system writes paths: the log shows the settings file's path to the user.
    return QDir::toNativeSeparators(QCoreApplication::applicationFilePath()).toStdString();
}

void CTerminalDlg::AppendLog(const std::string& text, bool newLine) {
    AppendDeviceText(UiTextUtf8(text), newLine);
}

void CTerminalDlg::AppendDeviceText(const std::string& text, bool newLine) {
    m_log.Append(text, newLine);
    m_journal.Append(text, newLine);
    ShowLog();
}

void CTerminalDlg::ShowLog() {
    if (m_editLog == nullptr) {
        return;
    }
    // Only what is new goes into the pane, so that a line costs the same in a full log as in
    // an empty one; the whole text is set after a clearing (at most about 200 lines), for a new
    // pane, and where a CR at the end may pair with what follows.
    const std::string& text = m_log.Text();
    const bool grewAtEnd = m_shownIn == m_editLog && m_shownClears == m_log.Clears() &&
                           m_shownSize > 0 && m_shownSize <= text.size() &&
                           text[m_shownSize - 1] != '\r';
    if (grewAtEnd) {
        AppendDlgItemText(IDC_LOG, text.substr(m_shownSize));
    } else {
        SetDlgItemText(IDC_LOG, text);
    }
    m_shownIn = m_editLog;
    m_shownClears = m_log.Clears();
    m_shownSize = text.size();
    m_editLog->horizontalScrollBar()->setValue(0);
    m_editLog->verticalScrollBar()->setValue(m_log.FirstVisibleLine());
}

bool CTerminalDlg::LoadSettings() {
    const std::string path = SettingsFilePath();
    switch (LoadConfigFile(path, m_settings)) {
    case ConfigLoadResult::Read:
        AppendLog("Plik konfiguracyjny '" + path + "' odczytano", true);
        return true;
    case ConfigLoadResult::ReadError:
        AppendLog("Błąd odczytu pliku konfiguracyjnego '" + path + "'", true);
        return false;
    case ConfigLoadResult::NotFound:
        break;
    }
    return false;
}

bool CTerminalDlg::SaveSettings() {
    const std::string path = SettingsFilePath();
    if (SaveConfigFile(path, m_settings) != ConfigSaveResult::Written) {
        // A choice that silently fails to persist would come back changed at the next start.
        AppendLog("Nie można zapisać pliku konfiguracyjnego '" + path + "'", true);
        return false;
    }
    AppendLog("Plik konfiguracyjny '" + path + "' zapisano", true);
    return true;
}

bool CTerminalDlg::OnCmdMsg(unsigned id) {
    if (id == ID_LINK_EVENT) {
        m_linkGate->Open(); // before the controller takes: a later put posts again
    }
    if (m_pLink && m_pLink->OnCmdMsg(id)) {
        return true;
    }
    if (m_pQueue && m_pQueue->OnCmdMsg(id)) {
        return true;
    }
    switch (id) {
    case IDC_CONNECTION_OPTIONS:
        OnConnectionOptions();
        return true;
    case IDC_VERSIONS:
        OnVersions();
        return true;
    case IDC_UPDATE_TIME:
        OnUpdateTime();
        return true;
    case IDC_SENSOR_CONFIG:
        OnSensorConfig();
        return true;
    case IDC_READER_CONFIG:
        OnReaderConfig();
        return true;
    case IDC_OUTPUTS:
        OnOutputs();
        return true;
    case IDM_ABOUTBOX:
        (void)OnSysCommand(id); // without an About text there is nothing to open
        return true;
    default:
        return CDialog::OnCmdMsg(id);
    }
}

std::unique_ptr<QMenu> CTerminalDlg::CreateWindowMenu() const {
    return m_menu.CreateMenu();
}

bool CTerminalDlg::OnSysCommand(unsigned command) {
    return m_menu.Run(command);
}

void CTerminalDlg::OnAbout() {
    CAboutDlg about;
    (void)about.DoModal(); // it has nothing to report
}

void CTerminalDlg::OnLineMonitor() {
    if (!m_pLink) {
        return;
    }
    if (!m_pMonitor) {
        // A tool of this window: a window of its own would take no input while this one runs
        // modally.
        m_pMonitor = std::make_unique<CLineMonitorWnd>(m_pLink->m_context.wireTrace, GetWindow());
        PlaceWhollyOnScreen(*m_pMonitor, GetWindow());
    }
    if (!m_pMonitor->isVisible() &&
        (m_bMonitorMissedLink || m_pLink->State() != LinkState::Disconnected)) {
        m_pMonitor->CountFromNow(); // the traffic while it was closed went untraced
    }
    m_bMonitorMissedLink = false;
    m_pMonitor->show();
    m_pMonitor->raise();
    m_pMonitor->activateWindow();
}

void CTerminalDlg::NotifyLine(LineEvent event, const std::string& text) {
    if (m_pMonitor && m_pMonitor->isVisible()) {
        m_pMonitor->Events().OnLineEvent(event, UiTextUtf8(text));
        m_pMonitor->TakeNow();
    }
}

std::string CTerminalDlg::AskJournalPath() {
    return QFileDialog::getSaveFileName(GetWindow(), UiText("Zapisz dziennik"), {},
                                        UiText("Tekst (*.txt *.log)"), nullptr,
                                        QFileDialog::DontUseNativeDialog)
        .toStdString();
}

void CTerminalDlg::OnSaveJournal() {
    const std::string path = AskJournalPath();
    if (path.empty()) {
        return;
    }
    std::error_code error;
    if (!SaveJournalFile(m_journal, path, error)) {
        AfxMessageBox(CannotWriteFileText(path, error), MB_OK | MB_ICONEXCLAMATION);
    }
}

void CTerminalDlg::OnContextMenu(QContextMenuEvent& event) {
    const std::unique_ptr<QMenu> menu = CreateWindowMenu();
    if (!menu) {
        return;
    }
    if (const QAction* chosen = menu->exec(event.globalPos())) {
        (void)OnSysCommand(chosen->data().toUInt()); // the menu offers only its own items
    }
}

void CTerminalDlg::OnConnectionOptions() {
    CPortDlg dialog;
    dialog.m_pSettings = &m_settings;
    dialog.m_strSettingsDir = m_strAppDir;
    if (dialog.DoModal() == IDOK) {
        SaveSettings();
    }
}

void CTerminalDlg::OnFindDevice() {
    if (m_pFindDevice) {
        m_pFindDevice->raise();
        m_pFindDevice->activateWindow();
        return;
    }
    ProbeSettings probe;
    probe.settingsDirectory = m_strAppDir;
    probe.baudRate = m_settings.baudRate;
    probe.address = DeviceAddress();
    m_pFindDevice = new CFindDeviceDlg(
        probe, [this] { return SystemPorts(); },
        [this](const ProbeResult& found) { UseFoundPort(found); }, GetWindow());
    m_pFindDevice->setAttribute(Qt::WA_DeleteOnClose);
    m_pFindDevice->show();
    m_pFindDevice->StartScan();
}

void CTerminalDlg::LoadNetworkPortSettings() {
    std::string error;
    if (LoadNetworkPorts(m_strAppDir, m_networkPorts, error) == NetworkPortsLoad::Unusable) {
        AppendLog("Błąd odczytu pliku '" + m_strAppDir + kNetworkPortsFileName + "': " + error,
                  true);
    }
}

void CTerminalDlg::OnNetworkPorts() {
    ProbeSettings probe;
    probe.settingsDirectory = m_strAppDir;
    probe.baudRate = m_settings.baudRate;
    probe.address = DeviceAddress();
    probe.tryLimit = std::chrono::milliseconds(3000); // a connection over the network first
    CNetworkPortsDlg dialog(m_strAppDir, probe, GetWindow());
    (void)dialog.exec(); // every change is saved as it is made
    const bool reconnect = m_networkPorts.reconnect;
    LoadNetworkPortSettings();
    m_networkPorts.reconnect = reconnect; // the dialog does not change it
}

void CTerminalDlg::OnToggleReconnect() {
    const bool on = !m_networkPorts.reconnect;
    NetworkPorts ports;
    std::string error;
    std::error_code status;
    const std::string path = m_strAppDir + kNetworkPortsFileName;
    if (LoadNetworkPorts(m_strAppDir, ports, error) == NetworkPortsLoad::Unusable) {
        // The user's own text is never written over; the choice holds until the program ends.
        AppendLog("Nie zapisano wyboru: błąd odczytu pliku '" + path + "': " + error, true);
        ports = m_networkPorts;
    } else {
        ports.reconnect = on;
        if (SaveNetworkPorts(m_strAppDir, ports, status) != FileReplaceResult::Written) {
            AppendLog("Nie można zapisać pliku '" + path + "': " + status.message(), true);
        }
    }
    m_networkPorts = std::move(ports);
    m_networkPorts.reconnect = on;
    AppendLog(on ? "Łączenie ponowne po utracie połączenia: włączone"
                 : "Łączenie ponowne po utracie połączenia: wyłączone",
              true);
    if (!on && m_pLink) {
        m_pLink->StopReconnecting();
    }
}

void CTerminalDlg::SetRetryTimer(unsigned milliseconds) {
    constexpr TimerFn kRetry = &TimerThunk<CTerminalDlg, &CTerminalDlg::OnRetryTimer>;
    m_timers.StopTimers(this, kRetry, 0);
    if (milliseconds > 0) {
        m_timers.StartTimer(this, kRetry, milliseconds, 0);
    }
}

void CTerminalDlg::OnRetryTimer(int unused) {
    (void)unused;
    if (m_pLink) {
        m_pLink->OnRetryTimer();
    }
}

std::vector<PortCandidate> CTerminalDlg::SystemPorts() const {
    return SystemPortCandidates();
}

CFindDeviceDlg* CTerminalDlg::FindDeviceWindow() const {
    return m_pFindDevice;
}

void CTerminalDlg::UseFoundPort(const ProbeResult& found) {
    int port = found.candidate.port;
    if (port <= 0) {
        port = FirstFreeComNumber(m_strAppDir);
        const std::string error = port > 0 ? MakeComLink(m_strAppDir, port, found.candidate.device)
                                           : std::string("brak wolnego numeru");
        if (!error.empty()) {
            AppendLog("Nie można utworzyć łącza dla '" + found.candidate.device + "': " + error,
                      true);
            return;
        }
        AppendLog("Utworzono łącze '" + m_strAppDir + "COM" + std::to_string(port) + "' -> '" +
                      found.candidate.device + "'",
                  true);
    }
    m_settings.port = port;
    if (found.outcome == ProbeResult::Outcome::Answered) {
        m_settings.baudRate = found.baudRate; // the speed it answered at
    }
    SaveSettings();
}

void CTerminalDlg::OnVersions() {
    RunVersionQuery(*this, m_strVersion);
}

void CTerminalDlg::OnUpdateTime() {
    RunClockUpdate(*this, [this] { return LocalTime(); });
}

void CTerminalDlg::OnSensorConfig() {
    RunSensorConfig(*this);
}

void CTerminalDlg::OnReaderConfig() {
    RunReaderConfig(*this);
}

void CTerminalDlg::OnOutputs() {
    RunOutputs(*this);
}

TimeRecord CTerminalDlg::LocalTime() const {
    return LocalTimeNow();
}

void CTerminalDlg::OnTimer(unsigned id) {
    m_timers.OnTimer(id);
}

void CTerminalDlg::StartTimer(void* object, TimerFn callback, unsigned elapse, int parameter) {
    m_timers.StartTimer(object, callback, elapse, parameter);
}

void CTerminalDlg::StopTimers(void* object, TimerFn callback, int parameter) {
    m_timers.StopTimers(object, callback, parameter);
}

bool CTerminalDlg::IsTimerPending(void* object, TimerFn callback, int parameter) {
    return m_timers.IsTimerPending(object, callback, parameter);
}

void CTerminalDlg::SubmitRequest(std::uint8_t address, std::uint8_t command,
                                 const std::uint8_t* payload, std::uint8_t length, void* requester,
                                 CompletionFn callback) {
    if (m_pQueue) {
        m_pQueue->AddRequest(address, command, payload, length, requester, callback);
    }
}

void CTerminalDlg::PollMeasurement(int action) {
    m_readout.PollMeasurement(action);
}

const LinkMessage* CTerminalDlg::RunRequest(std::uint8_t command, const std::uint8_t* payload,
                                            std::uint8_t length) {
    if (!m_pWaitDlg) {
        return nullptr;
    }
    m_pWaitDlg->SetRequest(DeviceAddress(), command, payload, length);
    (void)m_pWaitDlg->DoModal(); // how it ended shows in the answer
    return m_pWaitDlg->GetAnswer();
}

LinkSettings CTerminalDlg::CurrentLinkSettings() const {
    return LinkSettings{m_settings.port, m_settings.baudRate, m_strAppDir};
}

void CTerminalDlg::OnLinkStateChanged(LinkState state) {
    ApplyLinkButtons(state, [this](int id, bool on) { EnableDlgItem(id, on); });
    if (m_pMonitor && !m_pMonitor->isVisible()) {
        m_bMonitorMissedLink = true;
    }
    switch (state) {
    case LinkState::Connecting: {
        char line[96];
        std::snprintf(line, sizeof line, "Otwieranie portu COM%d , %db/s", m_settings.port,
                      m_settings.baudRate);
        NotifyLine(LineEvent::Opening, line);
        break;
    }
    case LinkState::Connected:
        NotifyLine(LineEvent::Connected, "Połączono");
        break;
    case LinkState::Disconnected:
        NotifyLine(LineEvent::Ended, "Rozłączono");
        break;
    case LinkState::Reconnecting:
        NotifyLine(LineEvent::Ended, "Rozłączono; ponowne łączenie czeka na kolejną próbę");
        break;
    }
}

std::function<void()> CTerminalDlg::LinkNotifier() {
    // One notification outstanding at a time; the controller takes what waits in passes.
    return GatedNotifier(m_linkGate, CommandPoster(ID_LINK_EVENT));
}

void CTerminalDlg::OnDeviceMessage(const LinkMessage& message) {
    if (m_pMonitor) {
        m_pMonitor->TakeNow(); // while this thread is awake anyway: no wake-up of its own
    }
    if (m_pQueue) {
        m_pQueue->OnDeviceMessage(message);
    }
}

void CTerminalDlg::ShowLinkMessage(const std::string& text) {
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
}

void CTerminalDlg::ReportPortFailure(const PortFailure& failure) {
    // The box that follows keeps its words; the system's reason goes where a service engineer
    // starting the program from a shell sees it. A closed standard error leaves just the box.
    const std::string lines = PortFailureLines("qal-terminal", failure);
    (void)WriteToStream(stderr, lines);
    NotifyLine(LineEvent::PortFailure, "Błąd portu: " + lines.substr(0, lines.find('\n')));
}

void CTerminalDlg::PutForDevice(const LinkMessage& message) {
    if (m_pMonitor) {
        m_pMonitor->Wake(); // the request shows once the worker has sent it
    }
    if (m_pLink) {
        (void)::PutForDevice(m_pLink->m_context, message); // always 1; see LinkContext
    }
}

void CTerminalDlg::OnRequestTimedOut(std::uint8_t command) {
    // The command's name in the program's language; NotifyLine translates the rest.
    std::string what = CommandText(command);
    const std::string name = CommandName(command);
    if (!name.empty()) {
        what = what.substr(0, what.size() - name.size()) + UiTextUtf8(name);
    }
    NotifyLine(LineEvent::Timeout,
               "Brak odpowiedzi na " + what + " w " + std::to_string(CQueue::kTimeoutMs) + " ms");
}

void CTerminalDlg::SetSpeedText(const std::string& text) {
    SetDlgItemText(IDC_SPEED, text);
}

void CTerminalDlg::SetReadInfoText(const std::string& text) {
    SetDlgItemText(IDC_READ_INFO, UiTextUtf8(text));
}

void CTerminalDlg::EnableModelFunctions() {
    EnableDlgItem(IDC_UPDATE_TIME, true);
    EnableDlgItem(IDC_READER_CONFIG, true);
}

std::uint8_t CTerminalDlg::DeviceAddress() const {
    return static_cast<std::uint8_t>(m_settings.deviceAddress & 0xFF);
}
