#include "TerminalTestSupport.h"

#include "CLineMonitorWnd.h"
#include "MessageBoxTypes.h"
#include "ResourceIds.h"
#include "Ser2Net.h"
#include "WindowMenuCommands.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <regex>
#include <termios.h>
#include <unistd.h>

namespace {

const char kPortBox[] = "Nie można korzystać z wybranego portu.\r\nRozłączono.";

class ClockTerminalDlg : public TestTerminalDlg {
public:
    using TestTerminalDlg::TestTerminalDlg;

protected:
    TimeRecord LocalTime() const override {
        TimeRecord time;
        time.setYear(2031);
        time.setMonth(2);
        time.setDay(3);
        time.setHour(4);
        time.setMinute(5);
        time.setSecond(6);
        return time;
    }
};

// The line's speed as the pseudo-terminal has it now, asked on the simulator's side.
speed_t LineSpeed(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios tio{};
    const bool read = fd >= 0 && ::tcgetattr(fd, &tio) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    return read ? ::cfgetospeed(&tio) : B0;
}

// The real main window reaching qal-sim through a real ser2net on this machine: COM5 is its
// RFC 2217 accepter, COM6 its plain TCP one (ports.json beside config.cfg).
class NetworkLinkTest : public testing::Test {
protected:
    void SetUp() override {
        if (CSer2Net::Program().empty()) {
            GTEST_SKIP() << "ser2net is not installed (Debian package ser2net)";
        }
        // The model report comes with the first reading of a session and turns on "Aktualizuj
        // czas"; the readings after it change the window's reading number.
        sim = std::make_unique<CSimProcess>(std::vector<std::string>{"--state", state()});
        line = sim->FirstLine();
        ASSERT_FALSE(line.empty()) << sim->Errors();
        ser2net = std::make_unique<CSer2Net>(scratch.Path(), line);
        ASSERT_TRUE(ser2net->Start()) << ser2net->Errors();
    }
    void TearDown() override {
        if (dialog) {
            dialog->DestroyWindow();
        }
    }
    std::string state() const { return scratch.Join("device.state"); }
    void Open(int port, int baudRate = 19200, bool reconnect = false) {
        std::ofstream(dir.Path() / "ports.json")
            << "{\"reconnect\": " << (reconnect ? "true" : "false") << ", \"COM5\": \""
            << ser2net->Rfc2217Url() << "\", \"COM6\": \"" << ser2net->RawUrl() << "\"}";
        dir.WriteConfig(SettingsBytes(port, baudRate, 31));
        dialog = std::make_unique<ClockTerminalDlg>(dir.Path());
        ASSERT_TRUE(dialog->Create());
    }
    void Click(int id) {
        auto* button = static_cast<QPushButton*>(dialog->GetDlgItem(id));
        ASSERT_TRUE(button->isEnabled()) << id;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    bool LogHas(const std::string& line) const {
        const std::vector<std::string> lines = LogLines(*dialog);
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    std::vector<std::string> LogFrom(std::size_t from) const {
        const std::vector<std::string> lines = LogLines(*dialog);
        return {lines.begin() + static_cast<std::ptrdiff_t>(std::min(from, lines.size())),
                lines.end()};
    }
    void Connect() {
        Click(IDC_CONNECT);
        ASSERT_TRUE(ProcessEventsUntil(
            [&] { return LogHas("Połączono") && dialog->IsDlgItemEnabled(IDC_DISCONNECT); }));
    }
    void Disconnect() {
        Click(IDC_DISCONNECT);
        ASSERT_TRUE(ProcessEventsUntil([&] { return dialog->IsDlgItemEnabled(IDC_CONNECT); }));
    }
    std::string ReadInfo() const { return dialog->GetDlgItemText(IDC_READ_INFO); }
    // A new reading has come: the reading number changed.
    bool NewReading(int limitMs = 5000) {
        const std::string before = ReadInfo();
        return ProcessEventsUntil([&] { return !ReadInfo().empty() && ReadInfo() != before; },
                                  limitMs);
    }

    TestApp app;
    TempAppDir dir;
    CTempDirectory scratch{"qal-ser2net"};
    std::unique_ptr<CSimProcess> sim;
    std::string line;
    std::unique_ptr<CSer2Net> ser2net;
    std::unique_ptr<ClockTerminalDlg> dialog;
};

// Through either accepter: poll, "Wersje", the clock, a settings record written and read back.
TEST_F(NetworkLinkTest, EveryOperationWorksThroughTheNetwork) {
    const struct {
        int port;
        const char* description;
    } cases[] = {{5, "Maszt 12, RFC"}, {6, "Maszt 12, TCP"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.port);
        Open(c.port);
        // Listened to from the start: the server's silence about the modem lines is noted.
        ASSERT_TRUE(dialog->OnSysCommand(WindowMenuCommand::kLineMonitor));
        Connect();
        ASSERT_TRUE(NewReading());
        EXPECT_TRUE(NewReading()) << "polling goes on";
        EXPECT_TRUE(dialog->IsDlgItemEnabled(IDC_UPDATE_TIME)) << "the model came first";

        std::size_t before = LogLines(*dialog).size();
        Click(IDC_VERSIONS);
        const std::vector<std::string> versions = LogFrom(before);
        ASSERT_EQ(versions.size(), 7u);
        EXPECT_EQ(versions[5], "QAL-1P symulator, wersja  3");

        app.answers = {IDYES};
        Click(IDC_UPDATE_TIME);
        app.answers = {IDNO};
        Click(IDC_UPDATE_TIME);
        ASSERT_EQ(app.shown.size(), 2u);
        EXPECT_EQ(app.shown[1].text.rfind("Czas w urządzeniu: 2031.02.03  4:05.", 0), 0u)
            << app.shown[1].text;
        app.shown.clear();

        WhenModalOpens("Konfiguracja QAL", [&](QWidget& settings) {
            settings.findChild<QLineEdit*>(QStringLiteral("control_%1").arg(IDC_DESCRIPTION))
                ->setText(QString::fromUtf8(c.description));
            QTest::keyClick(&settings, Qt::Key_Return);
            if (settings.isVisible()) {
                ADD_FAILURE() << "refused: " << (app.shown.empty() ? "" : app.shown.back().text);
                QTest::keyClick(&settings, Qt::Key_Escape);
            }
        });
        Click(IDC_SENSOR_CONFIG);
        std::string shown;
        WhenModalOpens("Konfiguracja QAL", [&](QWidget& settings) {
            shown =
                settings.findChild<QLineEdit*>(QStringLiteral("control_%1").arg(IDC_DESCRIPTION))
                    ->text()
                    .toStdString();
            QTest::keyClick(&settings, Qt::Key_Escape);
        });
        Click(IDC_SENSOR_CONFIG);
        EXPECT_EQ(shown, c.description);
        EXPECT_TRUE(app.shown.empty());

        if (c.port == 5) {
            // ser2net confirms all but the modem lines of a pseudo-terminal: said once.
            const std::string note = "RFC 2217: brak potwierdzenia: DTR, RTS";
            const auto noted = [&] {
                int count = 0;
                const CMonitorRows& rows = dialog->LineMonitor()->Rows();
                for (std::size_t i = 0; i < rows.Count(); ++i) {
                    count += rows.At(i).summary == note ? 1 : 0;
                }
                return count;
            };
            EXPECT_TRUE(ProcessEventsUntil([&] { return noted() > 0; }, 6000));
            EXPECT_TRUE(NewReading());
            EXPECT_EQ(noted(), 1);
        }
        Disconnect();
        dialog->DestroyWindow();
        dialog.reset();
        // Five quiet seconds end the device's session: the next one starts with its model.
        QTest::qWait(5200);
    }
}

// The speed of config.cfg, and the default that "Opcje połączenia" sets, reach the line behind
// the server.
TEST_F(NetworkLinkTest, TheSpeedReachesTheLineThroughRfc2217) {
    Open(5, 9600);
    Connect();
    EXPECT_TRUE(ProcessEventsUntil([&] { return LineSpeed(line) == B9600; })) << LineSpeed(line);
    Disconnect();

    WhenModalOpens(
        [&](QWidget& ports) {
            auto* com5 = ports.findChild<QAbstractButton*>(
                QStringLiteral("control_%1").arg(IDC_PORT_COM1 + 4));
            ASSERT_NE(com5, nullptr);
            EXPECT_EQ(com5->toolTip().toStdString(), "COM5: " + ser2net->Rfc2217Url());
            EXPECT_EQ(com5->accessibleDescription(), com5->toolTip());
            QTest::mouseClick(com5, Qt::LeftButton);
            QTest::keyClick(&ports, Qt::Key_Return);
        },
        dialog->GetWindow());
    Click(IDC_CONNECTION_OPTIONS);
    ASSERT_EQ(dialog->Settings().baudRate, 19200);
    Connect();
    EXPECT_TRUE(ProcessEventsUntil([&] { return LineSpeed(line) == B19200; })) << LineSpeed(line);
    EXPECT_TRUE(NewReading());
}

// The server going away while connected ends the link like a port that cannot be used; with
// "Łącz ponownie automatycznie" the link waits instead, and polls again once the server is back.
TEST_F(NetworkLinkTest, AServerThatGoesAwayEndsTheLinkOrIsWaitedFor) {
    Open(5);
    Connect();
    ASSERT_TRUE(NewReading());
    testing::internal::CaptureStderr();
    ser2net->Kill();
    ASSERT_TRUE(ProcessEventsUntil([&] { return !app.shown.empty(); }));
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(app.shown[0].text, kPortBox);
    EXPECT_TRUE(
        std::regex_match(errors, std::regex("qal-terminal: COM5 \\(" + ser2net->Rfc2217Url() +
                                            "\\): connection lost: 127\\.0\\.0\\.1:[0-9]+: .+\n")))
        << errors;
    EXPECT_TRUE(dialog->IsDlgItemEnabled(IDC_CONNECT));
    dialog->DestroyWindow();
    dialog.reset();
    app.shown.clear();

    ASSERT_TRUE(ser2net->Start()) << ser2net->Errors();
    Open(5, 19200, true);
    Connect();
    ASSERT_TRUE(NewReading());
    std::size_t before = LogLines(*dialog).size();
    ser2net->Kill();
    ASSERT_TRUE(ProcessEventsUntil([&] { return LogFrom(before).size() >= 2; }));
    const std::vector<std::string> lost = LogFrom(before);
    EXPECT_EQ(lost[0], "Rozłączono");
    EXPECT_EQ(lost[1].rfind("Utracono połączenie (127.0.0.1:", 0), 0u) << lost[1];
    EXPECT_TRUE(dialog->IsDlgItemEnabled(IDC_DISCONNECT)) << "the waiting can be stopped";
    EXPECT_EQ(dialog->GetDlgItemText(IDC_READ_INFO), "");

    ASSERT_TRUE(ser2net->Start()) << ser2net->Errors();
    ASSERT_TRUE(ProcessEventsUntil([&] { return LogHas("Połączono ponownie (próba 1)"); }, 6000))
        << testing::PrintToString(LogFrom(before));
    EXPECT_TRUE(NewReading()) << "polling resumed by itself";
    EXPECT_TRUE(app.shown.empty()) << app.shown.front().text;
}

} // namespace
