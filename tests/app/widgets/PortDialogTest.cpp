#include "TerminalTestSupport.h"

#include "CPortDlg.h"
#include "ResourceIds.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Which of COM1..COM6 is checked, -1 for none.
int CheckedPort(QWidget& portDialog) {
    for (int i = 0; i < 6; ++i) {
        auto* radio = portDialog.findChild<QRadioButton*>(
            QStringLiteral("control_%1").arg(IDC_PORT_COM1 + i));
        if (radio != nullptr && radio->isChecked()) {
            return i;
        }
    }
    return -1;
}

void Click(QWidget& dialog, int id) {
    auto* button = dialog.findChild<QAbstractButton*>(QStringLiteral("control_%1").arg(id));
    ASSERT_NE(button, nullptr) << id;
    QTest::mouseClick(button, Qt::LeftButton);
}

class PortDialogTest : public testing::Test {
protected:
    // Opens "Wybierz port" from the main window's button; `act` runs while it is open.
    void RunOptions(const std::function<void(QWidget&)>& act) {
        dialog = std::make_unique<TestTerminalDlg>(dir.Path());
        ASSERT_TRUE(dialog->Create());
        WhenModalOpens(
            [&](QWidget& portDialog) {
                EXPECT_EQ(portDialog.windowTitle().toStdString(), "Wybierz port");
                act(portDialog);
            },
            dialog->GetWindow());
        Click(*dialog->GetWindow(), IDC_CONNECTION_OPTIONS);
    }
    void TearDown() override {
        if (dialog) {
            dialog->DestroyWindow();
        }
    }
    std::string SavedLine() const {
        return "Plik konfiguracyjny '" + dir.ConfigPath().string() + "' zapisano";
    }

    TestApp app;
    TempAppDir dir;
    std::unique_ptr<TestTerminalDlg> dialog;
};

TEST_F(PortDialogTest, ConfirmSavesThePortWithDefaultSpeedAndAddress) {
    dir.WriteConfig(SettingsBytes(3, 9600, 5));
    int shown = -2;
    RunOptions([&](QWidget& portDialog) {
        shown = CheckedPort(portDialog);
        Click(portDialog, IDOK);
    });
    EXPECT_EQ(shown, 2) << "COM3 is selected for port 3";
    EXPECT_EQ(dir.ReadConfig(), SettingsBytes(3, 19200, 31));
    EXPECT_EQ(LogLines(*dialog).back(), SavedLine());
    EXPECT_EQ(dialog->Settings().baudRate, 19200);
    EXPECT_EQ(dialog->Settings().deviceAddress, 31);
}

TEST_F(PortDialogTest, DefaultsWrittenAsTheirTwelveBytes) {
    RunOptions([](QWidget& portDialog) { Click(portDialog, IDOK); });
    EXPECT_EQ(dir.ReadConfig(), (std::vector<unsigned char>{0x01, 0x00, 0x00, 0x00, 0x00, 0x4B,
                                                            0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}));
}

TEST_F(PortDialogTest, ChoosingAnotherPortByKeyboardAndMouse) {
    dir.WriteConfig(SettingsBytes(7, 19200, 31));
    int shown = -2;
    RunOptions([&](QWidget& portDialog) {
        shown = CheckedPort(portDialog);
        Click(portDialog, IDC_PORT_COM1 + 4);
        QTest::keyClick(&portDialog, Qt::Key_Return);
    });
    EXPECT_EQ(shown, -1) << "port 7 has no button";
    EXPECT_EQ(dialog->Settings().port, 5);
    EXPECT_EQ(dir.ReadConfig(), SettingsBytes(5, 19200, 31));
}

// Ports the dialog does not offer, the extremes of the file's range included.
TEST_F(PortDialogTest, ConfirmWithNothingSelectedStoresPortZero) {
    for (const int port : {0, INT_MIN, INT_MAX}) {
        SCOPED_TRACE(port);
        dir.WriteConfig(SettingsBytes(port, 19200, 31));
        int shown = -2;
        RunOptions([&](QWidget& portDialog) {
            shown = CheckedPort(portDialog);
            Click(portDialog, IDOK);
        });
        EXPECT_EQ(shown, -1);
        EXPECT_EQ(dialog->Settings().port, 0);
        EXPECT_EQ(dir.ReadConfig(), SettingsBytes(0, 19200, 31));
        dialog->DestroyWindow();
    }
}

TEST_F(PortDialogTest, CancelLeavesSettingsAndFileAsTheyWere) {
    const std::vector<unsigned char> original = SettingsBytes(0, 9600, 5);
    for (const char* how : {"Zaniechaj", "Esc", "close box"}) {
        SCOPED_TRACE(how);
        dir.WriteConfig(original);
        RunOptions([&](QWidget& portDialog) {
            Click(portDialog, IDC_PORT_COM1 + 1); // a changed choice that must not stick
            if (std::string(how) == "Zaniechaj") {
                Click(portDialog, IDCANCEL);
            } else if (std::string(how) == "Esc") {
                QTest::keyClick(&portDialog, Qt::Key_Escape);
            } else {
                portDialog.close();
            }
        });
        EXPECT_EQ(dialog->Settings().port, 0);
        EXPECT_EQ(dialog->Settings().baudRate, 9600);
        EXPECT_EQ(dialog->Settings().deviceAddress, 5);
        EXPECT_EQ(dir.ReadConfig(), original);
        EXPECT_NE(LogLines(*dialog).back(), SavedLine());
        dialog->DestroyWindow();
        dialog.reset();
    }
}

TEST_F(PortDialogTest, FailedSaveIsReportedInTheLog) {
    // A directory where the file should be: it can be neither read nor written.
    std::filesystem::create_directory(dir.ConfigPath());
    RunOptions([](QWidget& portDialog) { Click(portDialog, IDOK); });
    EXPECT_EQ(LogLines(*dialog).back(),
              "Nie można zapisać pliku konfiguracyjnego '" + dir.ConfigPath().string() + "'");
    EXPECT_EQ(dialog->Settings().port, 1) << "the choice stays in force in memory";
}

#if !defined(_WIN32) // pipes, pseudo-terminals and COM links in a folder are POSIX's
TEST_F(PortDialogTest, PipeInPlaceOfTheFileBlocksNeitherStartNorSave) {
    ASSERT_EQ(::mkfifo(dir.ConfigPath().c_str(), 0600), 0);
    RunOptions([](QWidget& portDialog) { Click(portDialog, IDOK); });
    EXPECT_EQ(LogLines(*dialog).back(),
              "Nie można zapisać pliku konfiguracyjnego '" + dir.ConfigPath().string() + "'");
    EXPECT_EQ(std::filesystem::status(dir.ConfigPath()).type(), std::filesystem::file_type::fifo);
}

// Each choice says what it reaches: a pseudo-terminal behind a COM link, a link to nothing, a
// device the user may not use, and the system's own name for an unmapped one.
TEST_F(PortDialogTest, ChoicesTellWhichDeviceTheyReachAndWhetherItIsUsable) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    char pts[128] = {};
    ASSERT_EQ(::grantpt(master) | ::unlockpt(master) | ::ptsname_r(master, pts, sizeof pts), 0);
    const std::string folder = dir.Path().string() + "/";
    ASSERT_EQ(::symlink(pts, (folder + "COM1").c_str()), 0);
    ASSERT_EQ(::symlink((folder + "gone").c_str(), (folder + "COM2").c_str()), 0);
    std::ofstream(folder + "ttyUSB9") << "";
    ASSERT_EQ(::symlink((folder + "ttyUSB9").c_str(), (folder + "COM3").c_str()), 0);
    const std::string locked = std::filesystem::canonical(folder + "ttyUSB9").string();

    ConnectionSettings settings;
    CPortDlg ports;
    ports.m_pSettings = &settings;
    ports.m_strSettingsDir = folder;
    // Permission bits do not stop root: the refusal is the checker's.
    ports.m_deviceAccess = [&](const std::string& device) {
        return device == locked ? EACCES : DeviceAccessError(device);
    };
    ASSERT_TRUE(ports.Create());
    const struct {
        int port;
        std::string text;
    } cases[] = {
        {1, std::string(pts) + ": dostępne; dowiązanie " + folder + "COM1"},
        {2, folder + "gone: brak urządzenia; dowiązanie " + folder + "COM2"},
        {3, locked + ": brak uprawnień do odczytu i zapisu (grupa dialout); dowiązanie " + folder +
                "COM3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.port);
        const QWidget* choice = ports.GetDlgItem(IDC_PORT_COM1 + c.port - 1);
        ASSERT_NE(choice, nullptr);
        EXPECT_EQ(choice->toolTip().toStdString(), c.text);
        EXPECT_EQ(choice->accessibleDescription().toStdString(), c.text);
    }
    // Unmapped: the system's device, whatever state this machine has it in.
    EXPECT_EQ(ports.GetDlgItem(IDC_PORT_COM1 + 5)->toolTip().toStdString().rfind("/dev/ttyS5: ", 0),
              0u);
    ports.DestroyWindow();
    ::close(master);
}
#endif

} // namespace
