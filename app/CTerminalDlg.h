#pragma once

#include "CDialog.h"
#include "CmdTarget.h"
#include "ConnectionSettings.h"
#include "EventLogText.h"
#include "LinkOwner.h"

#include <QFont>
#include <QIcon>

#include <memory>
#include <optional>
#include <string>

class CComLink;
class CQueue;
class CWaitDlg;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;

// The main window and hub: settings, event log, readout, buttons; owns the link controller,
// the request queue and the wait dialog, and offers every command to them first.
class CTerminalDlg : public CDialog, public ILinkOwner {
public:
    static constexpr int kTerminalVersion = 7;

    CTerminalDlg();
    ~CTerminalDlg() override;

    // The only way to write to the event log. newLine: start a new line, else continue the last.
    void AppendLog(const std::string& text, bool newLine);
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

    void EnableControl(int id, bool enable) override { EnableDlgItem(id, enable); }

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

private:
    void CreateReadoutFont();
    void ShowLog();

    EventLogText m_log;
};
