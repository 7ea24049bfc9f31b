#pragma once

#include "CDialog.h"
#include "CQueue.h"
#include "CReadingTools.h"
#include "CmdTarget.h"
#include "ConnectionSettings.h"
#include "DeviceOperationOwner.h"
#include "EventJournal.h"
#include "EventLogText.h"
#include "LineEvents.h"
#include "LinkOwner.h"
#include "MeasurementReadout.h"
#include "NetworkPortsFile.h"
#include "NotifyGate.h"
#include "PortCandidate.h"
#include "TimeRecord.h"
#include "TimerTable.h"
#include "TrendRing.h"
#include "WindowMenu.h"

#include <QFont>
#include <QPointer>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CComLink;
class CLineMonitorWnd;
class CFindDeviceDlg;
struct ProbeResult;
class CWaitDlg;
struct DeviceFileContext;
enum class FileQuestion;
class QLineEdit;
class QMenu;
class QPlainTextEdit;

// The main window and hub: settings, event log, readout, buttons; owns the link controller,
// the request queue and the wait dialog, and offers every command to them first. Each part
// reaches it only through the small interface that part declares.
// How much the main window keeps of its two histories. The defaults are the program's; a soak
// test makes them small so that they are full early and cannot hide a leak.
struct TerminalHistoryCaps {
    std::size_t journalLines = CEventJournal::kDefaultCapacity;
    std::size_t trendPoints = CTrendRing::kDayOfReadings;
};

class CTerminalDlg : public CDialog,
                     public ILinkOwner,
                     public IQueueOwner,
                     public IReadoutOwner,
                     public IDeviceOperationOwner,
                     public ITimerBackend {
public:
    explicit CTerminalDlg(const TerminalHistoryCaps& caps = {});
    ~CTerminalDlg() override;

    // The only way to write to the event log. newLine: start a new line, else continue the last.
    // The program's texts appear in its language; a device's text as the device sent it.
    void AppendLog(const std::string& text, bool newLine) override;
    void AppendDeviceText(const std::string& text, bool newLine) override;
    const EventLogText& Log() const { return m_log; }
    // Every log line since the start, with its time ("Zapisz dziennik…").
    const CEventJournal& Journal() const { return m_journal; }

    // config.cfg in the settings directory (see SettingsDirectory). Load: true when read, false
    // when the defaults were set. Save: true when written.
    bool LoadSettings();
    bool SaveSettings();
    std::string SettingsFilePath() const { return m_strAppDir + "config.cfg"; }
    ConnectionSettings& Settings() { return m_settings; }
    const ConnectionSettings& Settings() const { return m_settings; }
    const std::string& VersionLine() const { return m_strVersion; }

    // Link controller, then request queue, then the window's own commands.
    bool OnCmdMsg(unsigned id) override;
    // Runs the window menu's item of this command; the About item answers 16 to 31.
    bool OnSysCommand(unsigned command) override;

    // The window menu as a context menu; null when it has no items.
    std::unique_ptr<QMenu> CreateWindowMenu() const;

    // One-shot timers that call a stored callback on a stored object with a stored parameter.
    void StartTimer(void* object, TimerFn callback, unsigned elapse, int parameter) override;
    void StopTimers(void* object, TimerFn callback, int parameter) override;
    bool IsTimerPending(void* object, TimerFn callback, int parameter) override;

    // The request entry of every requester; see CQueue::AddRequest.
    void SubmitRequest(std::uint8_t address, std::uint8_t command, const std::uint8_t* payload,
                       std::uint8_t length, void* requester, CompletionFn callback) override;

    // The live readout: 1 requests a reading and keeps the chain going, 0 stops it.
    void PollMeasurement(int action) override;

    // Runs one request behind the wait dialog; the answer, or null when none came.
    const LinkMessage* RunRequest(std::uint8_t command, const std::uint8_t* payload,
                                  std::uint8_t length) override;

    void PostCommand(unsigned id) override { CDialog::PostCommand(id); }

    // What tests look at; null while there is no window (controls) or after it went (owned
    // objects).
    QPlainTextEdit* LogPane() const { return m_editLog; }
    QLineEdit* SpeedField() const { return m_editSpeed; }
    const CTimerTable& Timers() const { return m_timers; }
    const CComLink* Link() const { return m_pLink.get(); }
    const CQueue* Queue() const { return m_pQueue.get(); }
    const CWaitDlg* WaitDlg() const { return m_pWaitDlg.get(); }
    CReadingTools& ReadingTools() { return m_readingTools; }
    // "Podgląd transmisji"; null until first opened.
    CLineMonitorWnd* LineMonitor() const { return m_pMonitor.get(); }
    // ports.json as the window last read or wrote it.
    const NetworkPorts& NetworkPortSettings() const { return m_networkPorts; }

protected:
    void DoDataExchange(CDataExchange& dx) override;
    bool OnInitDialog() override;
    void OnWindowBuilt() override;
    void OnDestroy() override;
    void OnContextMenu(QContextMenuEvent& event) override;
    void OnInitSystemMenu() override;

    // Full path of the executable file; config.cfg is looked for beside it.
    virtual std::string GetModuleFileName() const;

    void OnConnectionOptions();
    void OnVersions();
    void OnUpdateTime();
    void OnSensorConfig();
    void OnReaderConfig();
    void OnOutputs();
    void OnAbout();
    void OnLineMonitor();
    void OnSaveJournal();
    // Where "Zapisz dziennik…" writes; empty: nowhere. Asks the user.
    virtual std::string AskJournalPath();
    // "Znajdź urządzenie…": the finder window, one at a time.
    void OnFindDevice();
    // The finder's chosen port becomes the connection's port and is saved; a device without a
    // COM number first gets the lowest free COM<n> link in the settings folder.
    void UseFoundPort(const ProbeResult& found);
    CFindDeviceDlg* FindDeviceWindow() const;
    // The ports the system lists for the finder, with what it says of the device behind each.
    virtual std::vector<PortCandidate> SystemPorts() const;
    // "Porty sieciowe…": the mapping of ports to network endpoints.
    void OnNetworkPorts();
    // "Łącz ponownie automatycznie": kept in ports.json.
    void OnToggleReconnect();
    void LoadNetworkPortSettings();

    void OnTimer(unsigned id) override;

    // The PC's local time, asked when the user agrees to set the device clock.
    virtual TimeRecord LocalTime() const;

    // The settings files' question for a file name; empty when the user gave up.
    virtual std::string AskFileName(FileQuestion question, const std::string& suggested);

    // The requester of the live readout's requests.
    CMeasurementReadout& Readout() { return m_readout; }

    // ILinkOwner
    void OnLinkStateChanged(LinkState state) override;
    LinkSettings CurrentLinkSettings() const override;
    std::function<void()> LinkNotifier() override;
    void OnDeviceMessage(const LinkMessage& message) override;
    void ShowLinkMessage(const std::string& text) override;
    void ReportPortFailure(const PortFailure& failure) override;
    bool AutoReconnect() const override { return m_networkPorts.reconnect; }
    void SetRetryTimer(unsigned milliseconds) override;
    // IQueueOwner
    void PutForDevice(const LinkMessage& message) override;
    void OnRequestTimedOut(std::uint8_t command) override;
    // IReadoutOwner
    void SetSpeedText(const std::string& text) override;
    void SetReadInfoText(const std::string& text) override;
    void EnableModelFunctions() override;
    std::uint8_t DeviceAddress() const override;
    void OnReading(const ReadingSample& sample) override { m_readingTools.OnReading(sample); }
    void OnReadingMissed() override { m_readingTools.OnReadingMissed(); }
    // ITimerBackend
    void SetWindowTimer(unsigned id, unsigned milliseconds) override { SetTimer(id, milliseconds); }
    void KillWindowTimer(unsigned id) override { KillTimer(id); }

private:
    void BuildWindowMenu();
    DeviceFileContext FileContext();
    void CreateReadoutFont();
    void ShowLog();
    // Tells the line monitor, while it is open.
    void NotifyLine(LineEvent event, const std::string& text);

    // The link's retry timer fired.
    void OnRetryTimer(int unused);

    ConnectionSettings m_settings;
    NetworkPorts m_networkPorts;
    std::string m_strVersion;
    std::string m_strAppDir;
    std::optional<QFont> m_font;
    QPlainTextEdit* m_editLog = nullptr;
    QLineEdit* m_editSpeed = nullptr;
    EventLogText m_log;
    // What of the log the pane holds: its widget, the log's clearing count and text size then.
    const QPlainTextEdit* m_shownIn = nullptr;
    std::uint64_t m_shownClears = 0;
    std::size_t m_shownSize = 0;
    std::shared_ptr<CNotifyGate> m_linkGate = std::make_shared<CNotifyGate>();
    CEventJournal m_journal;
    CWindowMenu m_menu;
    CReadingTools m_readingTools;
    // Before the owned objects, which may hold on to them until they go.
    CTimerTable m_timers{*this};
    CMeasurementReadout m_readout{*this};
    std::unique_ptr<CComLink> m_pLink;
    std::unique_ptr<CQueue> m_pQueue;
    std::unique_ptr<CWaitDlg> m_pWaitDlg;
    // Reads the link's wire trace: goes before the link controller.
    std::unique_ptr<CLineMonitorWnd> m_pMonitor;
    // The link changed while the monitor was closed: it missed some of the connection.
    bool m_bMonitorMissedLink = false;
    QPointer<CFindDeviceDlg> m_pFindDevice; // owned by the window, gone when closed
};
