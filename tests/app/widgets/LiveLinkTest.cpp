#include "TerminalTestSupport.h"

#include "CComLink.h"
#include "MessageBoxTypes.h"
#include "ResourceIds.h"
#include "SimProcess.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <system_error>

namespace {

const char kSeparator[] = "----------------------------------------------------";
const char kVersionLine[] = "Terminal QAL Mar 26 2008, wersja   7";
const char kPortBox[] = "Nie można korzystać z wybranego portu.\r\nRozłączono.";

// The main window with a fixed "PC time", so that a written clock can be recognised.
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

// The real main window against qal-sim on a pseudo-terminal linked as COM<n> in its directory.
class LiveLinkTest : public testing::Test {
protected:
    // Starts a simulator behind port n with these extra options.
    void StartSim(int port, std::initializer_list<std::string> options) {
        StartSimBehindPort(sims, dir, port, options);
    }
    void Open(int port = 1, int baudRate = 19200) {
        dir.WriteConfig(SettingsBytes(port, baudRate, 31));
        dialog = std::make_unique<ClockTerminalDlg>(dir.Path());
        ASSERT_TRUE(dialog->Create());
    }
    void TearDown() override {
        if (dialog) {
            dialog->DestroyWindow();
        }
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
    // The log lines written since `from` lines.
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
    std::string Speed() const { return dialog->GetDlgItemText(IDC_SPEED); }
    std::string ReadInfo() const { return dialog->GetDlgItemText(IDC_READ_INFO); }
    bool WaitForSpeed(const std::string& text) {
        return ProcessEventsUntil([&] { return Speed() == text; });
    }
    // Which of the ten buttons are enabled, in the order of the link's button table.
    std::vector<bool> Buttons() const {
        std::vector<bool> enabled;
        for (const int id :
             {IDC_CONNECT, IDC_DISCONNECT, IDC_CONNECTION_OPTIONS, IDOK, IDC_VERSIONS,
              IDC_SENSOR_CONFIG, IDC_OUTPUTS, IDC_UPDATE_TIME, IDC_READER_CONFIG, IDC_MEASURE}) {
            enabled.push_back(dialog->IsDlgItemEnabled(id));
        }
        return enabled;
    }

    const std::vector<bool> kDisconnectedButtons{true,  false, true,  true,  false,
                                                 false, false, false, false, false};
    const std::vector<bool> kConnectedButtons{false, true, false, true,  true,
                                              true,  true, false, false, false};

    TestApp app;
    TempAppDir dir;
    std::vector<std::unique_ptr<CSimProcess>> sims;
    std::unique_ptr<ClockTerminalDlg> dialog;
};

TEST_F(LiveLinkTest, ConnectReadsLiveThenDisconnectAndReconnect) {
    StartSim(1, {"--model-marker", "never"});
    Open();
    const std::size_t before = LogLines(*dialog).size();
    Connect();
    EXPECT_EQ(LogFrom(before),
              (std::vector<std::string>{"Otwieranie portu COM1 , 19200b/s...", "Połączono"}));
    EXPECT_EQ(Buttons(), kConnectedButtons);

    // Readings follow each other about once a second, each with the next number.
    const std::regex reading(R"(Nr odczytu: (\d+)\r\n\r\nWyjście 1-3 : [01] [01] [01]\r\n)");
    std::smatch match;
    std::string info;
    ASSERT_TRUE(ProcessEventsUntil([&] { return !(info = ReadInfo()).empty(); }));
    ASSERT_TRUE(std::regex_match(info, match, reading)) << info;
    const int first = std::stoi(match[1]);
    EXPECT_TRUE(std::regex_match(Speed(), std::regex(R"( [ \d]\d\.\d \[m/s\])"))) << Speed();
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(ProcessEventsUntil([&] { return ReadInfo() != info; }));
    EXPECT_GT(clock.elapsed(), 800);
    info = ReadInfo();
    ASSERT_TRUE(std::regex_match(info, match, reading)) << info;
    EXPECT_EQ(std::stoi(match[1]), first + 1);

    Disconnect();
    EXPECT_EQ(LogLines(*dialog).back(), "Rozłączono");
    EXPECT_TRUE(app.shown.empty());
    EXPECT_EQ(Buttons(), kDisconnectedButtons);
    EXPECT_EQ(Speed(), " - - - -");
    EXPECT_EQ(ReadInfo(), "");
    // A reading still on its way ends, and nothing starts another while the link is down.
    EXPECT_TRUE(ProcessEventsUntil([&] { return dialog->Timers().Count() == 0; }, 2500));

    // The reading number carries on across connections.
    Connect();
    ASSERT_TRUE(ProcessEventsUntil([&] { return !ReadInfo().empty(); }));
    info = ReadInfo();
    ASSERT_TRUE(std::regex_match(info, match, reading)) << info;
    EXPECT_GT(std::stoi(match[1]), first + 1);
}

TEST_F(LiveLinkTest, EveryReadoutTextOfTheSpeedTable) {
    const struct {
        const char* speed;
        const char* shown;
    } cases[] = {
        {"12.3", " 12.3 [m/s]"},      {"0.5", "  0.5 [m/s]"},   {"0.0", "  0.0 [m/s]"},
        {"-0.5", "- 0.5 [m/s]"},      {"-12.3", "-12.3 [m/s]"}, {"100.0", " 100.0 [m/s]"},
        {"-3276.8", "-3276.8 [m/s]"},
    };
    int port = 1;
    for (const auto& c : cases) {
        StartSim(port++, {"--model-marker", "never", "--speed", c.speed});
    }
    Open();
    port = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.speed);
        dialog->Settings().port = port++;
        Connect();
        EXPECT_TRUE(WaitForSpeed(c.shown)) << Speed();
        Disconnect();
    }
}

TEST_F(LiveLinkTest, ModelMarkerOffersClockAndReaderAndFailureIsShown) {
    StartSim(1, {"--model-marker", "first", "--failure"});
    Open();
    Connect();
    ASSERT_TRUE(WaitForSpeed(" QAL-1P "));
    EXPECT_EQ(ReadInfo(), "") << "the marker leaves the details as they were";
    EXPECT_TRUE(dialog->IsDlgItemEnabled(IDC_UPDATE_TIME));
    EXPECT_TRUE(dialog->IsDlgItemEnabled(IDC_READER_CONFIG));

    ASSERT_TRUE(ProcessEventsUntil([&] { return !ReadInfo().empty(); }));
    EXPECT_NE(ReadInfo().find("\r\nAwaria urządzenia !\r\nWyjście 1-3 : "), std::string::npos)
        << ReadInfo();
    EXPECT_TRUE(dialog->IsDlgItemEnabled(IDC_UPDATE_TIME)) << "stays on until the link ends";

    Disconnect();
    EXPECT_EQ(Buttons(), kDisconnectedButtons);
}

TEST_F(LiveLinkTest, VersionsAreLogged) {
    StartSim(1, {});
    Open();
    Connect();
    const std::size_t before = LogLines(*dialog).size();
    Click(IDC_VERSIONS);
    EXPECT_EQ(LogFrom(before),
              (std::vector<std::string>{
                  "Odczyt wersji", kSeparator, "Wersja terminala : ", kVersionLine,
                  "Wersja urządzenia : ", "QAL-1P symulator, wersja  3", kSeparator}));
    EXPECT_TRUE(app.shown.empty());
}

TEST_F(LiveLinkTest, ClockIsShownAndSetOnlyOnYes) {
    StartSim(1, {"--model-marker", "always"});
    Open();
    Connect();
    ASSERT_TRUE(ProcessEventsUntil([&] { return dialog->IsDlgItemEnabled(IDC_UPDATE_TIME); }));

    // "Nie": the question, and nothing written.
    std::size_t before = LogLines(*dialog).size();
    app.answers = {IDNO};
    Click(IDC_UPDATE_TIME);
    ASSERT_EQ(app.shown.size(), 1u);
    EXPECT_TRUE(std::regex_match(
        app.shown[0].text,
        std::regex(
            R"(Czas w urządzeniu: \d{4}\.\d\d\.\d\d  \d{1,2}:\d\d\.\d\d \. Czy aktualizować czas \?)")))
        << app.shown[0].text;
    EXPECT_EQ(app.shown[0].type, unsigned{MB_YESNO | MB_ICONEXCLAMATION});
    EXPECT_EQ(LogFrom(before), (std::vector<std::string>{"Odczyt czasu"}));

    // "Tak": the PC's time goes to the device, which then runs on from it.
    before = LogLines(*dialog).size();
    app.answers = {IDYES};
    Click(IDC_UPDATE_TIME);
    EXPECT_EQ(LogFrom(before), (std::vector<std::string>{"Odczyt czasu", "Zapis czasu"}));
    ASSERT_EQ(app.shown.size(), 2u) << "no box after an answered write";

    app.answers = {IDNO};
    Click(IDC_UPDATE_TIME);
    ASSERT_EQ(app.shown.size(), 3u);
    EXPECT_EQ(app.shown[2].text.rfind("Czas w urządzeniu: 2031.02.03  4:05.", 0), 0u)
        << app.shown[2].text;
}

// A port that cannot be opened ends the connection with the system's reason on standard error.
TEST_F(LiveLinkTest, PortThatCannotBeUsedIsReported) {
    const struct {
        int port;
        int baudRate;
        const char* opening;
        std::string errors; // on standard error; a trailing "*" stands for the system's own text
    } cases[] = {
#if defined(_WIN32)
        {99, 19200, "Otwieranie portu COM99 , 19200b/s...", "qal-terminal: COM99: *"},
        {INT_MIN, -19200, "Otwieranie portu COM-2147483648 , -19200b/s...",
         "qal-terminal: COM-2147483648: unsupported baud rate -19200\n"},
#else
        {9, 19200, "Otwieranie portu COM9 , 19200b/s...", // a link to nothing
         "qal-terminal: COM9 (" + (dir.Path() / "nowhere").string() +
             "): " + std::generic_category().message(ENOENT) + "\n"},
        {INT_MAX, 19200, "Otwieranie portu COM2147483647 , 19200b/s...",
         "qal-terminal: COM2147483647 (/dev/ttyS2147483646): " +
             std::generic_category().message(ENOENT) + "\n"},
        {INT_MIN, -19200, "Otwieranie portu COM-2147483648 , -19200b/s...",
         "qal-terminal: COM-2147483648 (/dev/ttyS-2147483649): unsupported baud rate -19200\n"},
#endif
    };
#if !defined(_WIN32)
    std::filesystem::create_symlink(dir.Path() / "nowhere", dir.Path() / "COM9");
#endif
    for (const auto& c : cases) {
        SCOPED_TRACE(c.port);
        Open(c.port, c.baudRate);
        const std::size_t before = LogLines(*dialog).size();
        app.shown.clear();
        testing::internal::CaptureStderr();
        Click(IDC_CONNECT);
        ASSERT_TRUE(ProcessEventsUntil([&] { return !app.shown.empty(); }));
        const std::string errors = testing::internal::GetCapturedStderr();
        if (c.errors.back() == '*') {
            const std::string start = c.errors.substr(0, c.errors.size() - 1);
            EXPECT_EQ(errors.rfind(start, 0), 0u) << errors;
            EXPECT_GT(errors.size(), start.size() + 1) << "no reason: " << errors;
            EXPECT_EQ(errors.back(), '\n');
        } else {
            EXPECT_EQ(errors, c.errors);
        }
        EXPECT_EQ(LogFrom(before), (std::vector<std::string>{c.opening, "Rozłączono"}));
        EXPECT_EQ(app.shown[0].text, kPortBox);
        EXPECT_EQ(app.shown[0].type, unsigned{MB_OK | MB_ICONEXCLAMATION});
        EXPECT_EQ(Buttons(), kDisconnectedButtons);
        dialog->DestroyWindow();
    }
}

TEST_F(LiveLinkTest, ClosingWhileConnectedEndsAtOnce) {
    StartSim(1, {});
    Open();
    Connect();
    ASSERT_TRUE(ProcessEventsUntil([&] { return !ReadInfo().empty(); }));
    QElapsedTimer clock;
    clock.start();
    dialog->DestroyWindow();
    EXPECT_LT(clock.elapsed(), 1000);
    dialog.reset();
}

// Esc ends the wait at once; the answer that comes later lands in the closed dialog without a
// trace, and the next operation gets its own answer.
TEST_F(LiveLinkTest, AnswerAfterEscapeLandsQuietly) {
    StartSim(1, {"--delay", "400"});
    Open();
    Connect();
    WhenModalOpens([](QWidget& wait) {
        EXPECT_EQ(wait.windowTitle().toStdString(), "Transmisja danych");
        QTest::keyClick(&wait, Qt::Key_Escape);
    });
    Click(IDC_VERSIONS);
    ASSERT_EQ(app.shown.size(), 1u);
    EXPECT_EQ(app.shown[0].text, "Urządzenie nie odpowiada");

    // Long enough for the abandoned request and a reading to complete.
    QTest::qWait(1500);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(app.shown.size(), 1u);

    const std::size_t before = LogLines(*dialog).size();
    Click(IDC_VERSIONS);
    const std::vector<std::string> lines = LogFrom(before);
    EXPECT_EQ(app.shown.size(), 1u);
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[5], "QAL-1P symulator, wersja  3");
}

// Each settings record is read, changed in its dialog, written, and read again with the change;
// the device keeps it in its state file, descriptions in Windows-1250.
TEST_F(LiveLinkTest, SettingsAreWrittenAndReadBack) {
    const std::filesystem::path state = dir.Path() / "device.state";
    StartSim(1, {"--model-marker", "always", "--state", state.string()});
    Open();
    Connect();
    ASSERT_TRUE(ProcessEventsUntil([&] { return dialog->IsDlgItemEnabled(IDC_READER_CONFIG); }));

    const struct {
        int button;
        const char* title;
        int edit;
        const char* newText;
        const char* log[2];
        std::string stored; // bytes the state file must now hold; empty: not looked for
    } cases[] = {
        {IDC_SENSOR_CONFIG,
         "Konfiguracja QAL",
         IDC_DESCRIPTION,
         "Łąka, młyn 3",
         {"Odczyt konfiguracji", "Zapis konfiguracji"},
         "\xA3\xB9ka, m\xB3yn 3"},
        {IDC_READER_CONFIG,
         "Konfiguracja czytnika",
         IDC_DESCRIPTION,
         "Żuraw 2",
         {"Odczyt danych czytnika", "Zapis danych czytnika"},
         "\xAFuraw 2"},
        {IDC_OUTPUTS,
         "Konfiguracja wyjść",
         IDC_OUTPUT1_MAX,
         "12.5",
         {"Odczyt danych alarmów", "Zapis danych alarmów"},
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.newText);
        std::size_t before = LogLines(*dialog).size();
        WhenModalOpens(c.title, [&](QWidget& settings) {
            auto* edit = settings.findChild<QLineEdit*>(QStringLiteral("control_%1").arg(c.edit));
            ASSERT_NE(edit, nullptr);
            edit->setText(QString::fromUtf8(c.newText));
            QTest::keyClick(&settings, Qt::Key_Return);
            if (settings.isVisible()) {
                ADD_FAILURE() << "refused: " << (app.shown.empty() ? "" : app.shown.back().text);
                QTest::keyClick(&settings, Qt::Key_Escape);
            }
        });
        Click(c.button);
        EXPECT_EQ(LogFrom(before), (std::vector<std::string>{c.log[0], c.log[1]}));
        EXPECT_TRUE(app.shown.empty()) << app.shown.front().text;

        before = LogLines(*dialog).size();
        std::string shown;
        WhenModalOpens(c.title, [&](QWidget& settings) {
            shown = settings.findChild<QLineEdit*>(QStringLiteral("control_%1").arg(c.edit))
                        ->text()
                        .toStdString();
            QTest::keyClick(&settings, Qt::Key_Escape);
        });
        Click(c.button);
        EXPECT_EQ(shown, c.newText);
        EXPECT_EQ(LogFrom(before), std::vector<std::string>{c.log[0]}) << "nothing after Esc";

        if (!c.stored.empty()) {
            std::ifstream file(state, std::ios::binary);
            const std::string bytes{std::istreambuf_iterator<char>(file), {}};
            EXPECT_NE(bytes.find(c.stored), std::string::npos);
        }
    }
}

#if !defined(_WIN32) // a pseudo-terminal that hangs up; wine shows no such end of a COM port
// The simulator going away while connected (its pseudo-terminal closes, as an adapter pulled
// out): the link ends as a port that cannot be used, with the reason on standard error, and
// the same COM1 connects again once a device is back behind it. Idle, with the readout's
// request outstanding, and with the wait dialog of an operation open.
TEST_F(LiveLinkTest, LineThatGoesAwayEndsTheLinkAndTheSamePortConnectsAgain) {
    enum class While { Idle, RequestOutstanding, WaitDialogOpen };
    Open();
    for (const While when : {While::Idle, While::RequestOutstanding, While::WaitDialogOpen}) {
        SCOPED_TRACE(static_cast<int>(when));
        // A silent device leaves every request outstanding.
        StartSim(1, when == While::Idle ? std::initializer_list<std::string>{}
                                        : std::initializer_list<std::string>{"--silent"});
        CSimProcess& sim = *sims.back();
        Connect();
        if (when == While::Idle) {
            ASSERT_TRUE(ProcessEventsUntil([&] { return !ReadInfo().empty(); }));
        } else {
            ASSERT_TRUE(ProcessEventsUntil([&] { return dialog->Queue()->IsBusy(); }));
        }
        const std::size_t before = LogLines(*dialog).size();
        app.shown.clear();
        testing::internal::CaptureStderr();
        if (when == While::WaitDialogOpen) {
            WhenModalOpens([&](QWidget&) {
                sim.Signal(SIGTERM);
                // Ends when the request times out, after the link has ended beneath it.
            });
            Click(IDC_VERSIONS);
        } else {
            sim.Signal(SIGTERM);
        }
        ASSERT_TRUE(ProcessEventsUntil([&] { return !app.shown.empty(); }));
        const std::string errors = testing::internal::GetCapturedStderr();
        EXPECT_EQ(app.shown[0].text, kPortBox);
        std::vector<std::string> lines = LogFrom(before);
        if (when == While::WaitDialogOpen) {
            ASSERT_EQ(app.shown.size(), 2u);
            EXPECT_EQ(app.shown[1].text, "Urządzenie nie odpowiada");
            ASSERT_FALSE(lines.empty());
            EXPECT_EQ(lines.front(), "Odczyt wersji");
            lines.erase(lines.begin());
            lines.resize(std::min<std::size_t>(lines.size(), 1)); // the operation's own follow
        }
        EXPECT_EQ(lines, std::vector<std::string>{"Rozłączono"});
        EXPECT_EQ(Buttons(), kDisconnectedButtons);
        EXPECT_EQ(Speed(), " - - - -");
        EXPECT_EQ(ReadInfo(), "");
        EXPECT_EQ(errors, "qal-terminal: COM1 (" + sim.FirstLine() +
                              "): connection lost: " + std::generic_category().message(EIO) + "\n");
        // Nothing left waiting: the outstanding request ends with its time-out, and no
        // reading starts after it.
        EXPECT_TRUE(ProcessEventsUntil(
            [&] { return !dialog->Queue()->IsBusy() && dialog->Timers().Count() == 0; }, 2500));
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        EXPECT_EQ(sim.Wait(), 0) << sim.Errors();
    }

    StartSim(1, {});
    Connect();
    EXPECT_TRUE(ProcessEventsUntil([&] { return !ReadInfo().empty(); }));
}
#endif

} // namespace
