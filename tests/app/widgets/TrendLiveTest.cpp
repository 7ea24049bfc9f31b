#include "TerminalTestSupport.h"

#include "CReadingTools.h"
#include "CTrendWindow.h"
#include "FileSizeLimit.h"
#include "ResourceIds.h"
#include "SimProcess.h"
#include "WindowMenuCommands.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <memory>

namespace {

// The main window, noting every speed it shows.
class SpeedNotingDlg : public TestTerminalDlg {
public:
    using TestTerminalDlg::TestTerminalDlg;
    std::vector<std::string> speeds;

protected:
    void SetSpeedText(const std::string& text) override {
        if (text.find("[m/s]") != std::string::npos) {
            speeds.push_back(text);
        }
        TestTerminalDlg::SetSpeedText(text);
    }
};

std::vector<std::string> CsvSpeeds(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> speeds;
    std::string line;
    std::getline(in, line); // the header
    while (std::getline(in, line)) {
        // time, number, speed, ...
        const std::size_t first = line.find(',');
        const std::size_t second = line.find(',', first + 1);
        speeds.push_back(line.substr(second + 1, line.find(',', second + 1) - second - 1));
    }
    return speeds;
}

std::string CsvSpeed(const std::string& shown) {
    // " 12.3 [m/s]" -> "12.3", "- 0.5 [m/s]" -> "-0.5"
    std::string speed;
    for (const char c : shown.substr(0, shown.find(" ["))) {
        if (c != ' ') {
            speed += c;
        }
    }
    return speed == "-0.0" ? "0.0" : speed;
}

// Against qal-sim's gusty wind: the plot and the file follow the readings the window shows, and
// a device that stops answering for a while leaves a gap.
TEST(TrendLive, PlotAndFileFollowTheReadingsShownWithAGapWhileTheDeviceIsStopped) {
    TestApp app;
    TempAppDir dir;
    CSimProcess sim({"--link", dir.Path().string(), "--model-marker", "never"});
    ASSERT_FALSE(sim.FirstLine().empty()) << sim.Errors();
    dir.WriteConfig(SettingsBytes(1, 19200, 31));
    SpeedNotingDlg dialog(dir.Path());
    RunInModalLoop(dialog, [&] {
        const std::string csv = (dir.Path() / "odczyty.csv").string();
        dialog.ReadingTools().SetFileQuestion([&](QWidget*) { return csv; });

        ASSERT_TRUE(dialog.OnSysCommand(WindowMenuCommand::kRecording));
        const std::unique_ptr<QMenu> menu = dialog.CreateWindowMenu();
        for (const QAction* action : menu->actions()) {
            if (action->data().toUInt() == WindowMenuCommand::kRecording) {
                EXPECT_TRUE(action->isCheckable() && action->isChecked());
            }
        }
        dialog.GetWindow()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.GetWindow()));
        KeyAsUser(*dialog.GetWindow(), Qt::Key_G, Qt::ControlModifier);
        CTrendWindow* window = dialog.ReadingTools().TrendWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->isVisible());
        ClickAsUser(*dialog.GetDlgItem(IDC_CONNECT));

        const CTrendRing& ring = dialog.ReadingTools().Ring();
        auto readings = [&] { return dialog.speeds.size(); };
        ASSERT_TRUE(ProcessEventsUntil([&] { return readings() >= 4; }, 8000));
        sim.Pause(); // the device stops answering
        ASSERT_TRUE(ProcessEventsUntil([&] { return !ring.Empty() && ring.Newest().gap; }, 5000));
        sim.Resume();
        const std::size_t before = readings();
        ASSERT_TRUE(ProcessEventsUntil([&] { return readings() >= before + 3; }, 8000));
        ASSERT_TRUE(dialog.OnSysCommand(WindowMenuCommand::kRecording)); // off

        // The plot holds every reading shown, in order, and one gap.
        std::vector<std::string> plotted;
        std::size_t gaps = 0;
        for (std::size_t i = 0; i < ring.Size(); ++i) {
            if (ring[i].gap) {
                ++gaps;
            } else {
                plotted.push_back(FormatSpeed(ring[i].reading.speedTenths));
            }
        }
        EXPECT_EQ(plotted, dialog.speeds);
        EXPECT_EQ(gaps, 1u);

        // Its statistics are those of the readings shown.
        double lowest = 1e9, highest = -1e9, total = 0;
        std::vector<std::string> inFile;
        for (const std::string& shown : dialog.speeds) {
            const double speed = std::stod(CsvSpeed(shown));
            lowest = std::min(lowest, speed);
            highest = std::max(highest, speed);
            total += speed;
            inFile.push_back(CsvSpeed(shown));
        }
        window->Refresh();
        const TrendStatistics& stats = window->Statistics();
        EXPECT_EQ(stats.readings, dialog.speeds.size());
        EXPECT_DOUBLE_EQ(stats.minimum, lowest);
        EXPECT_DOUBLE_EQ(stats.maximum, highest);
        EXPECT_NEAR(stats.mean, total / static_cast<double>(dialog.speeds.size()), 1e-9);
        // The gust: the highest mean of the readings within 3 seconds, at least three of them,
        // with no gap between.
        double gust = -1e9;
        for (std::size_t end = 0; end < ring.Size(); ++end) {
            double sum = 0;
            int count = 0;
            for (std::size_t i = end + 1;
                 i-- > 0 && !ring[i].gap && ring[i].timeMs > ring[end].timeMs - 3000;) {
                sum += ring[i].reading.speedTenths / 10.0;
                ++count;
            }
            if (count >= 3) {
                gust = std::max(gust, sum / count);
            }
        }
        EXPECT_TRUE(stats.hasGust);
        EXPECT_NEAR(stats.gust, gust, 1e-9);

        // The file holds every one of them.
        EXPECT_EQ(CsvSpeeds(csv), inFile);
        const std::vector<std::string> lines = LogLines(dialog);
        EXPECT_NE(std::find(lines.begin(), lines.end(),
                            "Zapis odczytów do pliku '" + csv + "' zakończono"),
                  lines.end());
    });
}

#if !defined(_WIN32) // a file-size limit is POSIX's
// The disk fills while recording: the readout goes on while the box that says so is open.
TEST(TrendLive, ReadoutGoesOnWhileAWriteFailureIsReported) {
    TestApp app;
    TempAppDir dir;
    CSimProcess sim({"--link", dir.Path().string(), "--model-marker", "never"});
    ASSERT_FALSE(sim.FirstLine().empty()) << sim.Errors();
    dir.WriteConfig(SettingsBytes(1, 19200, 31));
    SpeedNotingDlg dialog(dir.Path());
    const std::string csv = (dir.Path() / "odczyty.csv").string();
    dialog.ReadingTools().SetFileQuestion([&](QWidget*) { return csv; });
    const std::string failure = "Błąd zapisu do pliku '" + csv + "'. Zapis odczytów przerwano.";
    std::size_t whileOpen = 0;
    app.whileShown = [&](const std::string& text) {
        if (text == failure) { // the user leaves it open for a while
            const std::size_t before = dialog.speeds.size();
            (void)ProcessEventsUntil([&] { return dialog.speeds.size() >= before + 2; }, 6000);
            whileOpen = dialog.speeds.size() - before;
        }
    };
    RunInModalLoop(dialog, [&] {
        ASSERT_TRUE(dialog.OnSysCommand(WindowMenuCommand::kRecording));
        ClickAsUser(*dialog.GetDlgItem(IDC_CONNECT));
        ASSERT_TRUE(ProcessEventsUntil([&] { return dialog.speeds.size() >= 2; }, 8000));
        const CFileSizeLimit full(std::filesystem::file_size(csv));
        ASSERT_TRUE(ProcessEventsUntil([&] { return !app.shown.empty(); }, 5000));
    });
    ASSERT_EQ(app.shown.size(), 1u);
    EXPECT_EQ(app.shown[0].text, failure);
    EXPECT_GE(whileOpen, 2u) << "readings shown while the box was open";
}
#endif

} // namespace
