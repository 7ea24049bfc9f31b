#pragma once

#include "CDialog.h"
#include "CQueue.h"
#include "CmdTarget.h"
#include "ConnectionSettings.h"
#include "DeviceOperationOwner.h"
#include "EventLogText.h"
#include "LinkOwner.h"
#include "MeasurementReadout.h"
#include "TimeRecord.h"
#include "TimerTable.h"

#include <QFont>
#include <QIcon>

#include <memory>
#include <optional>
#include <string>

class CComLink;
class CWaitDlg;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;

// The main window and hub: settings, event log, readout, buttons; owns the link controller,
// the request queue and the wait dialog, and offers every command to them first. Each part
// reaches it only through the small interface that part declares.
class CTerminalDlg : public CDialog,
                     public ILinkOwner,
                     public IQueueOwner,
                     public IReadoutOwner,
                     public IDeviceOperationOwner,
                     public ITimerBackend {
public:
    static constexpr int kTerminalVersion = 7;

    CTerminalDlg();
    ~CTerminalDlg() override;

    // The only way to write to the event log. newLine: start a new line, else continue the last.
    void AppendLog(const std::string& text, bool newLine) override;
    const EventLogText& Log() const { return m_log; }

    // config.cfg in the settings directory (see SettingsDirectory). Load: true when read, false
    // when the defaults were set. Save: true when written.
    bool LoadSettings();
    bool SaveSettings();
    std::string SettingsFilePath() const { return m_strAppDir + "config.cfg"; }

    // Link controller, then request queue, then the window's own commands.
    bool OnCmdMsg(unsigned id) override;
    void OnSysCommand(unsigned command);

    // The context menu that stands in for the title-bar menu's About item; null when the About
    // string is empty.
    std::unique_ptr<QMenu> CreateSystemMenu();

    // One-shot timers that call a stored callback on a stored object with a stored parameter.
    void StartTimer(void* object, TimerFn callback, unsigned elapse, int parameter) override;
    void StopTimers(void* object, TimerFn callback, int parameter) override;
    bool IsTimerPending(void* object, TimerFn callback, int parameter) override;

    // The request entry of every requester; see CQueue::AddRequest.
    void SubmitRequest(std::uint8_t address, std::uint8_t command, const std::uint8_t* payload,
                       std::uint8_t length, void* requester, CompletionFn callback) override;

    // The live readout: 1 requests a reading and keeps the chain going, 0 stops it.
    void PollMeasurement(int action) override;
    void OnMeasurementAnswer(const LinkMessage* answer);

    // Runs one request behind the wait dialog; the answer, or null when none came.
    const LinkMessage* RunRequest(std::uint8_t command, const std::uint8_t* payload,
                                  std::uint8_t length) override;

    void EnableControl(int id, bool enable) override { EnableDlgItem(id, enable); }
    void PostCommand(unsigned id) override { CDialog::PostCommand(id); }

    ConnectionSettings m_settings;
    std::string m_strVersion;
    std::optional<QFont> m_font;
    QPushButton* m_btnExit = nullptr;
    QPushButton* m_btnClock = nullptr;
    QPushButton* m_btnOutputs = nullptr;
    QPushButton* m_btnSensorConfig = nullptr;
    QPushButton* m_btnReaderConfig = nullptr;
    QPushButton* m_btnMeasure = nullptr;
    QPushButton* m_btnConnect = nullptr;
    QPushButton* m_btnOptions = nullptr;
    QPushButton* m_btnDisconnect = nullptr;
    QPushButton* m_btnVersion = nullptr;
    QPlainTextEdit* m_editLog = nullptr;
    QLineEdit* m_editSpeed = nullptr;
    QPlainTextEdit* m_editReadInfo = nullptr;
    std::string m_strAppDir;
    // Before the owned objects, which may hold on to them until they go.
    CTimerTable m_timers{*this};
    CMeasurementReadout m_readout{*this};
    std::unique_ptr<CComLink> m_pLink;
    std::unique_ptr<CQueue> m_pQueue;
    std::unique_ptr<CWaitDlg> m_pWaitDlg;
    QIcon m_hIcon;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    bool OnInitDialog() override;
    void OnWindowBuilt() override;
    void OnDestroy() override;
    void OnContextMenu(QContextMenuEvent& event) override;

    // Full path of the executable file; config.cfg is looked for beside it.
    virtual std::string GetModuleFileName() const;

    void OnConnectionOptions();
    void OnVersions();
    void OnUpdateTime();
    void OnSensorConfig();
    void OnReaderConfig();
    void OnOutputs();

    void OnTimer(unsigned id) override;

    // The PC's local time, asked when the user agrees to set the device clock.
    virtual TimeRecord LocalTime() const;

    // ILinkOwner
    LinkSettings CurrentLinkSettings() const override;
    std::function<void()> LinkNotifier() override;
    void OnDeviceMessage(const LinkMessage& message) override;
    void ShowLinkMessage(const std::string& text) override;
    void ReportPortFailure(const PortFailure& failure) override;
    // IQueueOwner
    void PutForDevice(const LinkMessage& message) override;
    // IReadoutOwner
    void SetSpeedText(const std::string& text) override;
    void SetReadInfoText(const std::string& text) override;
    void EnableModelFunctions() override;
    std::uint8_t DeviceAddress() const override;
    // ITimerBackend
    void SetWindowTimer(unsigned id, unsigned milliseconds) override { SetTimer(id, milliseconds); }
    void KillWindowTimer(unsigned id) override { KillTimer(id); }

private:
    void CreateReadoutFont();
    void ShowLog();

    EventLogText m_log;
};
