#include "CReadingTools.h"
#include "CTrendPlot.h"
#include "CTrendWindow.h"
#include "FileSizeLimit.h"
#include "MessageBoxTypes.h"
#include "OddFiles.h"
#include "TempDirectory.h"
#include "WidgetTestSupport.h"

#include <QAccessible>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPixmap>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

namespace {

// 14:20 local time on a December day, whole minutes from here on.
constexpr std::int64_t kStartMs = 1'796'739'600'000;

ReadingSample Wind(int second) {
    ReadingSample reading;
    reading.readingNo = static_cast<std::uint16_t>(second);
    const double speed =
        8 + 3 * std::sin(second / 37.0) + 1.5 * std::sin(second / 5.3) + (second % 97 == 0 ? 4 : 0);
    reading.speedTenths = static_cast<std::int16_t>(std::lround(speed * 10));
    reading.failure = second >= 400 && second < 420;
    reading.status = reading.failure ? 0x70 : 0x78;
    return reading;
}

std::size_t LineCount(const std::string& path) {
    std::ifstream in(path);
    std::size_t lines = 0;
    for (std::string line; std::getline(in, line);) {
        ++lines;
    }
    return lines;
}

class ReadingToolsTest : public testing::Test {
protected:
    ReadingToolsTest() {
        tools.SetClock([this] { return now; });
        tools.SetFileQuestion([this](QWidget*) { return fileAnswer; });
    }
    // `seconds` readings of a gusty wind, one a second, with the readout missing some.
    void Feed(int seconds) {
        for (int second = 0; second < seconds; ++second, now += 1000) {
            if (second >= 300 && second < 310) {
                tools.OnReadingMissed();
            } else {
                tools.OnReading(Wind(second));
            }
        }
    }
    std::vector<std::string> log;
    CReadingTools tools{[this](const std::string& line) { log.push_back(line); }};
    std::int64_t now = kStartMs;
    std::string fileAnswer;
    TestApp app;
};

TEST_F(ReadingToolsTest, PlotShowsTheChosenSpanAndKeepsItsDataWhenClosed) {
    Feed(300);
    tools.ShowTrend(nullptr);
    CTrendWindow* window = tools.TrendWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_EQ(window->windowTitle().toStdString(), "Wykres prędkości");
    EXPECT_TRUE(window->windowFlags() & Qt::Window);
    EXPECT_FALSE(window->isModal());

    // Each span: the statistics over its readings, shown beside the plot.
    auto* combo = window->findChild<QComboBox*>();
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->accessibleName().toStdString(), "Zakres");
    EXPECT_TRUE(combo->focusPolicy() & Qt::TabFocus);
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(window->SpanMinutes(), 60) << "from the keyboard";
    for (const int minutes : {1, 10, 60}) {
        window->SetSpanMinutes(minutes);
        const CTrendRing& ring = tools.Ring();
        const std::size_t first = ring.FirstWithin(minutes * 60'000, now);
        const TrendStatistics expected = ComputeStatistics(ring, first, ring.Size());
        EXPECT_EQ(window->Statistics().readings, minutes == 1 ? 60u : 300u) << minutes;
        EXPECT_DOUBLE_EQ(window->Statistics().mean, expected.mean) << minutes;
        EXPECT_DOUBLE_EQ(window->Statistics().gust, expected.gust) << minutes;
        for (auto* label : window->findChildren<QLabel*>()) {
            if (label->accessibleName().startsWith("Poryw")) {
                EXPECT_EQ(label->text(), SpeedValueText(true, expected.gust)) << minutes;
            }
        }
    }

    // Closed, it still takes nothing in; opened again, it shows what came meanwhile.
    window->close();
    Feed(600);
    EXPECT_EQ(window->Statistics().readings, 300u) << "a hidden window does no work";
    tools.ShowTrend(nullptr);
    EXPECT_EQ(tools.TrendWindow(), window);
    EXPECT_EQ(window->Statistics().readings, 890u);
    window->resize(900, 500);
    QApplication::processEvents();
    EXPECT_GT(window->Plot()->width(), 600);

    // A picture of the plot for whoever looks at the test's output.
    window->SetSpanMinutes(10);
    const QString dir = QStringLiteral(QAL_TEST_OUTPUT_DIR);
    ASSERT_TRUE(QDir().mkpath(dir));
    EXPECT_TRUE(window->grab().save(dir + "/trend-window.png"));
}

// A screen reader gets each figure with its caption, and the new figure after each reading.
TEST_F(ReadingToolsTest, StatisticsReadOutWithTheirCaptions) {
    const auto readOut = [&] {
        std::vector<std::string> names;
        for (QLabel* label : tools.TrendWindow()->findChildren<QLabel*>()) {
            if (!label->accessibleName().isEmpty()) {
                names.push_back(QAccessible::queryAccessibleInterface(label)
                                    ->text(QAccessible::Name)
                                    .toStdString());
            }
        }
        return names;
    };
    tools.ShowTrend(nullptr);
    const struct {
        std::vector<int> tenths; // readings 1.1 s apart, one gust window holding three
        std::vector<std::string> names;
    } cases[] = {
        {{}, {"Minimum: –", "Średnia: –", "Maksimum: –", "Poryw: –"}},
        {{87, 93}, {"Minimum: 8.7 m/s", "Średnia: 9.0 m/s", "Maksimum: 9.3 m/s", "Poryw: –"}},
        {{101, 125, 60},
         {"Minimum: 6.0 m/s", "Średnia: 9.3 m/s", "Maksimum: 12.5 m/s", "Poryw: 10.6 m/s"}},
        {{-20}, {"Minimum: -2.0 m/s", "Średnia: 7.4 m/s", "Maksimum: 12.5 m/s", "Poryw: 10.6 m/s"}},
    };
    for (const auto& c : cases) {
        for (const int tenths : c.tenths) {
            ReadingSample reading;
            reading.speedTenths = static_cast<std::int16_t>(tenths);
            now += 1100;
            tools.OnReading(reading);
        }
        EXPECT_EQ(readOut(), c.names);
    }
}

TEST_F(ReadingToolsTest, RecordingWritesEachReadingShownUntilItIsTurnedOff) {
    CTempDirectory dir;
    fileAnswer = dir.Join("odczyty.csv");
    tools.ToggleRecording(nullptr);
    ASSERT_TRUE(tools.IsRecording());
    Feed(320); // ten of them missing
    tools.ToggleRecording(nullptr);
    EXPECT_FALSE(tools.IsRecording());
    Feed(5);
    EXPECT_EQ(LineCount(fileAnswer), 1u + 310u);
    EXPECT_EQ(log, (std::vector<std::string>{
                       "Zapis odczytów do pliku '" + fileAnswer + "' rozpoczęto (nowy plik)",
                       "Zapis odczytów do pliku '" + fileAnswer + "' zakończono"}));

    tools.ToggleRecording(nullptr); // the same file again: appended to
    Feed(2);
    EXPECT_EQ(LineCount(fileAnswer), 1u + 312u);
    EXPECT_EQ(log.back(), "Zapis odczytów do pliku '" + fileAnswer + "' rozpoczęto (dopisywanie)");

    tools.ToggleRecording(nullptr);
    fileAnswer.clear(); // cancelled: nothing starts
    tools.ToggleRecording(nullptr);
    EXPECT_FALSE(tools.IsRecording());
    EXPECT_EQ(log.size(), 4u);
    EXPECT_TRUE(app.shown.empty());
}

// A disk that fills up: recording ends with one log line and one message box, the readings go
// on, and nothing more is written. The box waits until the reading's handling is over.
#if !defined(_WIN32) // a file-size limit is POSIX's
TEST_F(ReadingToolsTest, AWriteFailureEndsRecordingOnce) {
    CTempDirectory dir;
    fileAnswer = dir.Join("pipe");
    std::string why;
    ASSERT_TRUE(MakeOddFile(OddFile::Pipe, fileAnswer, why)) << why;
    tools.ToggleRecording(nullptr);
    EXPECT_FALSE(tools.IsRecording());
    ASSERT_EQ(app.shown.size(), 1u);
    EXPECT_EQ(app.shown[0].text, "Nie można zapisywać odczytów do pliku '" + fileAnswer +
                                     "': To nie jest zwykły plik.");
    EXPECT_EQ(log, std::vector<std::string>{app.shown[0].text});

    fileAnswer = dir.Join("odczyty.csv");
    tools.ToggleRecording(nullptr);
    Feed(3);
    log.clear();
    app.shown.clear();
    {
        const CFileSizeLimit full(0); // below what the file holds: no write succeeds
        Feed(5);
    }
    EXPECT_FALSE(tools.IsRecording());
    const std::string text = "Błąd zapisu do pliku '" + fileAnswer + "'. Zapis odczytów przerwano.";
    EXPECT_EQ(log, std::vector<std::string>{text});
    EXPECT_TRUE(app.shown.empty()) << "not while the reading is handled";
    ASSERT_TRUE(ProcessEventsUntil([&] { return !app.shown.empty(); }));
    ASSERT_EQ(app.shown.size(), 1u);
    EXPECT_EQ(app.shown[0].text, text);
    EXPECT_EQ(app.shown[0].type, unsigned{MB_OK | MB_ICONEXCLAMATION});
    EXPECT_EQ(tools.Ring().Size(), 8u) << "the readings still reach the plot";
    EXPECT_EQ(LineCount(fileAnswer), 1u + 3u);
}
#endif

TEST(TrendPlotAxis, SpeedAxisFollowsTheDataWithAMinimumSpan) {
    const struct {
        double low, high;
        SpeedAxis axis;
    } cases[] = {
        {5.0, 5.4, {4.0, 6.5, 0.5}}, {0.2, 0.5, {0, 2, 0.5}}, {3.8, 13.5, {2, 14, 2}},
        {-3, -1, {-3, -1, 0.5}},     {-1, 30, {-10, 30, 10}}, {7, 7, {6, 8, 0.5}},
    };
    for (const auto& c : cases) {
        const SpeedAxis axis = ChooseSpeedAxis(c.low, c.high, CTrendPlot::kMinimumSpan);
        EXPECT_DOUBLE_EQ(axis.low, c.axis.low) << c.low << ".." << c.high;
        EXPECT_DOUBLE_EQ(axis.high, c.axis.high) << c.low << ".." << c.high;
        EXPECT_DOUBLE_EQ(axis.step, c.axis.step) << c.low << ".." << c.high;
    }
}

} // namespace
