#pragma once

#include "CTerminalDlg.h"
#include "CWinApp.h"
#include "TempDirectory.h"

#include <QWidget>

#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// An application object that answers message boxes from a script and records them.
class TestApp : public CWinApp {
public:
    struct Shown {
        std::string text;
        unsigned type;
    };

    int DoMessageBox(const std::string& text, unsigned type) override;

    std::vector<Shown> shown;
    std::deque<int> answers; // answers in order; IDOK once they run out
};

// A fresh directory that stands in for the executable's directory; removed at the end.
class TempAppDir {
public:
    std::filesystem::path Path() const { return m_dir.Path(); }
    std::filesystem::path ConfigPath() const { return m_dir.Join("config.cfg"); }
    void WriteConfig(const std::vector<unsigned char>& bytes) const;
    std::vector<unsigned char> ReadConfig() const;

private:
    CTempDirectory m_dir{"qal-app-test"};
};

// The real main window, with its executable placed in a test directory.
class TestTerminalDlg : public CTerminalDlg {
public:
    explicit TestTerminalDlg(std::filesystem::path appDir) : m_appDir(std::move(appDir)) {}

protected:
    std::string GetModuleFileName() const override { return (m_appDir / "qal-terminal").string(); }

private:
    std::filesystem::path m_appDir;
};

// Runs action on the next modal window other than `except` once it is open, from inside its
// own loop. Polls instead of waiting a fixed time; fails the test after a few seconds.
void WhenModalOpens(std::function<void(QWidget&)> action, QWidget* except = nullptr);

// Processes events until the condition holds or a few seconds pass; returns the condition.
bool ProcessEventsUntil(const std::function<bool()>& condition);

// The event log's lines, split at CR LF.
std::vector<std::string> LogLines(const CTerminalDlg& dialog);

// The twelve bytes of config.cfg for these settings.
std::vector<unsigned char> SettingsBytes(int port, int baudRate, int address);
