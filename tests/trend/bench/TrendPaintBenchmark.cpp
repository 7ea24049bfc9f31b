// qal-trend-bench: one repaint of the speed plot, drawn into an image the size of the window's
// plot, under the offscreen platform (target: 3600 points under 2 ms). Prints the median and the
// 99th percentile for 60, 600 and 3600 points, the three spans at one reading a second.
// Then the whole work of one reading with the window open on 10 minutes of a full day's ring
// (taking it in, the statistics, the repaint), as a share of one core at one reading a second
// (target: under 0.05 %).
// Usage: qal-trend-bench [repaints per size, default 500]
#include "CReadingTools.h"
#include "CTrendPlot.h"
#include "CTrendWindow.h"
#include "TrendStatistics.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char* argv[]) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    const int repaints = argc > 1 ? std::max(1, std::atoi(argv[1])) : 500;

    const std::int64_t startMs = 1'796'739'600'000;
    for (const int points : {60, 600, 3600}) {
        CTrendRing ring;
        for (int second = 0; second < points; ++second) {
            ReadingSample reading;
            reading.speedTenths = static_cast<std::int16_t>(
                std::lround(80 + 30 * std::sin(second / 37.0) + 15 * std::sin(second / 5.3)));
            reading.failure = second % 500 < 10;
            ring.AddReading(startMs + second * 1000, reading);
        }
        const TrendStatistics stats = ComputeStatistics(ring, 0, ring.Size());
        CTrendPlot plot;
        plot.resize(plot.sizeHint());
        plot.SetView(&ring, 0, ring.Size(), startMs, startMs + points * 1000, stats);
        QImage image(plot.size(), QImage::Format_ARGB32_Premultiplied);

        std::vector<double> times;
        for (int i = 0; i < repaints; ++i) {
            const auto begin = std::chrono::steady_clock::now();
            plot.render(&image);
            times.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin)
                    .count());
        }
        std::sort(times.begin(), times.end());
        std::printf("%5d points, %dx%d: repaint median %.3f ms, 99th percentile %.3f ms\n", points,
                    plot.width(), plot.height(), times[times.size() / 2],
                    times[times.size() * 99 / 100]);
    }

    // A day of readings, then one more at a time with the window open.
    std::int64_t now = startMs;
    CReadingTools tools([](const std::string&) {});
    tools.SetClock([&now] { return now; });
    auto reading = [](int second) {
        ReadingSample sample;
        sample.speedTenths = static_cast<std::int16_t>(
            std::lround(80 + 30 * std::sin(second / 37.0) + 15 * std::sin(second / 5.3)));
        return sample;
    };
    int second = 0;
    for (; second < static_cast<int>(CTrendRing::kDayOfReadings); ++second, now += 1000) {
        tools.OnReading(reading(second));
    }
    tools.ShowTrend(nullptr);
    CTrendWindow* window = tools.TrendWindow();
    window->SetSpanMinutes(10);
    QApplication::processEvents();
    std::vector<double> times;
    for (int i = 0; i < repaints; ++i, ++second, now += 1000) {
        const auto begin = std::chrono::steady_clock::now();
        tools.OnReading(reading(second));
        window->Plot()->repaint();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin)
                .count());
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("one reading with the window open (10 min): median %.3f ms, 99th percentile "
                "%.3f ms, %.4f %% of a core at one a second\n",
                median, times[times.size() * 99 / 100], median / 1000 * 100);
    return 0;
}
