#include "TerminalTestSupport.h"

#include "CFindDeviceDlg.h"
#include "ResourceIds.h"
#include "SimProcess.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>

namespace {

constexpr unsigned kFindDevice = 0x90;

class FinderTerminalDlg : public TestTerminalDlg {
public:
    using CTerminalDlg::FindDeviceWindow;
    using CTerminalDlg::UseFoundPort;
    using TestTerminalDlg::TestTerminalDlg;

protected:
    // The simulators' ports only, never the test machine's own. On POSIX the finder finds the
    // simulators as COM links in the settings folder; on Windows the system lists its COM ports.
    std::vector<PortCandidate> SystemPorts() const override {
#if defined(_WIN32)
        std::vector<PortCandidate> ports(2);
        for (int i = 0; i < 2; ++i) {
            ports[i].port = 2 + i;
            ports[i].reached = "COM" + std::to_string(2 + i);
        }
        return ports;
#else
        return {};
#endif
    }
};

class FindDeviceTest : public testing::Test {
protected:
    void StartSim(int port, std::initializer_list<std::string> options) {
        StartSimBehindPort(sims, dir, port, options);
    }
    void TearDown() override {
        if (dialog) {
            dialog->DestroyWindow();
        }
    }
    bool MenuItemEnabled() const {
        const std::unique_ptr<QMenu> menu = dialog->CreateWindowMenu();
        for (const QAction* action : menu->actions()) {
            if (action->data().toUInt() == kFindDevice) {
                return action->isEnabled();
            }
        }
        return false;
    }
    QPushButton* Button(QWidget& window, const QString& text) {
        for (auto* button : window.findChildren<QPushButton*>()) {
            if (button->text() == text) {
                return button;
            }
        }
        return nullptr;
    }

    TempAppDir dir;
    std::vector<std::unique_ptr<CSimProcess>> sims;
    std::unique_ptr<FinderTerminalDlg> dialog;
};

// The finder lists the links with what answered and why the rest did not; the chosen port is
// saved, and "Połącz" then connects to it. Not offered while connected.
TEST_F(FindDeviceTest, ChosenRowBecomesThePortAndConnects) {
    StartSim(2, {"--model-marker", "never"});
    StartSim(3, {"--silent"});
    dir.WriteConfig(SettingsBytes(1, 19200, 31));
    dialog = std::make_unique<FinderTerminalDlg>(dir.Path());
    RunInModalLoop(*dialog, [&] {
        EXPECT_TRUE(MenuItemEnabled());

        ASSERT_TRUE(dialog->OnSysCommand(kFindDevice));
        CFindDeviceDlg* finder = dialog->FindDeviceWindow();
        ASSERT_NE(finder, nullptr);
        EXPECT_EQ(finder->windowTitle(), "Znajdź urządzenie");
        ASSERT_TRUE(ProcessEventsUntil([&] { return !finder->Scanning(); }));
        QTableWidget* table = finder->Table();
        EXPECT_EQ(table->accessibleName(), "Znalezione porty");
        std::map<std::string, std::string> rows;
        for (int row = 0; row < table->rowCount(); ++row) {
            rows[table->item(row, 0)->text().toStdString()] =
                table->item(row, 3)->text().toStdString();
        }
        EXPECT_EQ(rows["COM2"], "Odpowiada: QAL-1P symulator, wersja 3 (19200 bit/s)");
        EXPECT_EQ(rows["COM3"], "Brak odpowiedzi");
        EXPECT_EQ(table->item(table->currentRow(), 0)->text(), "COM2"); // the answering row
        for (QPushButton* button : finder->findChildren<QPushButton*>()) {
            EXPECT_FALSE(button->text().isEmpty());
            EXPECT_NE(button->focusPolicy(), Qt::NoFocus) << button->text().toStdString();
        }

        // From the keyboard: Enter on the selected row chooses it.
        QApplication::setActiveWindow(finder);
        table->setFocus();
        KeyAsUser(*finder, Qt::Key_Return);
        ASSERT_TRUE(ProcessEventsUntil([&] { return dialog->FindDeviceWindow() == nullptr; }));
        EXPECT_EQ(dir.ReadConfig(), SettingsBytes(2, 19200, 31));

        ClickAsUser(*dialog->GetDlgItem(IDC_CONNECT));
        ASSERT_TRUE(ProcessEventsUntil([&] { return dialog->IsDlgItemEnabled(IDC_DISCONNECT); }));
        EXPECT_FALSE(MenuItemEnabled());
        EXPECT_FALSE(dialog->OnSysCommand(kFindDevice));
    });
}

#if !defined(_WIN32) // links in the settings folder stand for COM numbers on POSIX only
// A device the system lists without a COM number gets the lowest free link, named in the log.
TEST_F(FindDeviceTest, DeviceWithoutNumberGetsAFreeLink) {
    StartSim(1, {});
    dir.WriteConfig(SettingsBytes(1, 19200, 31));
    dialog = std::make_unique<FinderTerminalDlg>(dir.Path());
    ASSERT_TRUE(dialog->Create());
    ProbeResult found;
    found.candidate.device = "/dev/ttyUSB7";
    found.outcome = ProbeResult::Outcome::Answered;
    found.baudRate = 9600;
    dialog->UseFoundPort(found);
    const std::filesystem::path link = dir.Path() / "COM2";
    EXPECT_EQ(std::filesystem::read_symlink(link), "/dev/ttyUSB7");
    EXPECT_EQ(dir.ReadConfig(), SettingsBytes(2, 9600, 31));
    const auto lines = LogLines(*dialog);
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "Utworzono łącze '" + dir.Path().string() + "/COM2' -> '/dev/ttyUSB7'"),
              lines.end());
}
#endif

// Each row says why a port gave no answer, or why it was left alone.
TEST(FindDeviceRows, SayWhyNothingWasFound) {
    using Outcome = ProbeResult::Outcome;
    const struct {
        Outcome outcome;
        PortUse use;
        bool bytesSeen;
        const char* expected;
    } cases[] = {
        {Outcome::Silent, {}, false, "Brak odpowiedzi"},
        {Outcome::Silent, {}, true, "Brak odpowiedzi; odebrano inne dane (inna prędkość?)"},
        {Outcome::Busy, {}, false, "Zajęty przez inny program"},
        {Outcome::Busy,
         {PortUse::Kind::HeldOpen, 1234, "screen"},
         false,
         "Otwarty przez program screen (PID 1234), pominięty"},
        {Outcome::Busy, {PortUse::Kind::Console, 0, ""}, false, "Konsola systemu, pominięty"},
        {Outcome::Unusable,
         {PortUse::Kind::NoUart, 0, ""},
         false,
         "Brak układu UART za tą nazwą, pominięty"},
    };
    for (const auto& c : cases) {
        ProbeResult result;
        result.outcome = c.outcome;
        result.use = c.use;
        result.bytesSeen = c.bytesSeen;
        EXPECT_EQ(FindDeviceOutcomeText(result), c.expected);
    }
}

} // namespace
