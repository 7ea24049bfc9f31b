#pragma once

#include "CTerminalDlg.h"
#include "SimProcess.h"
#include "TempDirectory.h"
#include "WidgetTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

// A fresh directory that stands in for the executable's directory; removed at the end. Its paths
// are written with the system's separators, as the program shows them.
class TempAppDir {
public:
    std::filesystem::path Path() const {
        return std::filesystem::path(m_dir.Path()).make_preferred();
    }
    std::filesystem::path ConfigPath() const { return Path() / "config.cfg"; }
    void WriteConfig(const std::vector<unsigned char>& bytes) const;
    std::vector<unsigned char> ReadConfig() const;

private:
    CTempDirectory m_dir{"qal-app-test"};
};

// Starts qal-sim behind port COM<port> of dir, where the terminal started from dir finds it, with
// these extra options; it joins sims, which end it. A simulator that does not start fails the test.
inline void StartSimBehindPort(std::vector<std::unique_ptr<CSimProcess>>& sims,
                               const TempAppDir& dir, int port,
                               std::initializer_list<std::string> options) {
    std::vector<std::string> args{"--link", dir.Path().string(), "--port", std::to_string(port)};
    args.insert(args.end(), options.begin(), options.end());
    sims.push_back(std::make_unique<CSimProcess>(args));
    ASSERT_FALSE(sims.back()->FirstLine().empty()) << sims.back()->Errors();
}

// The real main window, with its executable placed in a test directory.
class TestTerminalDlg : public CTerminalDlg {
public:
    explicit TestTerminalDlg(std::filesystem::path appDir) : m_appDir(std::move(appDir)) {}

protected:
    std::string GetModuleFileName() const override {
        const std::u8string name = (m_appDir / "qal-terminal").make_preferred().u8string();
        return std::string(name.begin(), name.end());
    }

private:
    std::filesystem::path m_appDir;
};

// The event log's lines, split at CR LF.
std::vector<std::string> LogLines(const CTerminalDlg& dialog);

// The twelve bytes of config.cfg for these settings.
std::vector<unsigned char> SettingsBytes(int port, int baudRate, int address);
