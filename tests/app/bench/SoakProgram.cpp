// qal-soak: the real main window (offscreen) against qal-sim on a paced, partly corrupted line
// that sends a device text every second, for N minutes, with "Wersje" asked for every 30 s.
// Every 10 s it samples the resident memory, the open descriptors and the threads; at the end
// it prints the memory's slope after the warm-up (target: under 1 KB/min) and fails (status 1)
// when descriptors or threads grew after the warm-up.
// Usage: qal-soak [minutes, default 2]
#include "BenchSupport.h"
#include "ResourceIds.h"
#include "SimProcess.h"
#include "TempDirectory.h"

#include "CTerminalDlg.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kSampleMs = 10000;
constexpr int kVersionsMs = 30000;

class SoakTerminalDlg : public CTerminalDlg {
public:
    explicit SoakTerminalDlg(std::string appDir) : m_appDir(std::move(appDir)) {}

protected:
    std::string GetModuleFileName() const override { return m_appDir + "qal-terminal"; }

private:
    std::string m_appDir;
};

struct Sample {
    double minutes;
    long rssKb;
    long descriptors;
    long threads;
};

long EntriesIn(const char* folder) {
    std::error_code error;
    long count = 0;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        ++count;
    }
    return count;
}

long ResidentKb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

Sample TakeSample(Clock::time_point start) {
    return {std::chrono::duration<double, std::ratio<60>>(Clock::now() - start).count(),
            ResidentKb(), EntriesIn("/proc/self/fd"), EntriesIn("/proc/self/task")};
}

// Least-squares slope of the resident memory over time, in KB per minute.
double RssSlope(const std::vector<Sample>& samples) {
    if (samples.size() < 2) {
        return 0;
    }
    double meanT = 0;
    double meanR = 0;
    for (const Sample& s : samples) {
        meanT += s.minutes;
        meanR += static_cast<double>(s.rssKb);
    }
    meanT /= static_cast<double>(samples.size());
    meanR /= static_cast<double>(samples.size());
    double covariance = 0;
    double variance = 0;
    for (const Sample& s : samples) {
        covariance += (s.minutes - meanT) * (static_cast<double>(s.rssKb) - meanR);
        variance += (s.minutes - meanT) * (s.minutes - meanT);
    }
    return variance > 0 ? covariance / variance : 0;
}

} // namespace

int main(int argc, char* argv[]) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    unsetenv("QT_QPA_PLATFORMTHEME");
    QApplication application(argc, argv);
    QuietApp app;
    const int minutes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2;
    // A quarter of the run, at most two minutes, for caches and buffers to reach their size.
    const double warmUpMinutes = std::min(2.0, minutes / 4.0);

    CTempDirectory dir("qal-soak");
    CSimProcess sim({"--link", dir.Path(), "--port", "1", "--pace", "--corrupt", "0.1", "--text",
                     "Wiatr: próba długa", "--text-period", "1000"});
    if (sim.FirstLine().empty()) {
        std::fprintf(stderr, "qal-sim did not start: %s\n", sim.Errors().c_str());
        return 1;
    }
    std::ofstream(dir.Join("config.cfg"), std::ios::binary)
        .write("\x01\0\0\0\x00\x4B\0\0\x1F\0\0\0", 12);
    SoakTerminalDlg dialog(dir.Path() + "/");
    if (!dialog.Create()) {
        std::fprintf(stderr, "the main window could not be made\n");
        return 1;
    }
    dialog.OnCmdMsg(IDC_CONNECT);

    const Clock::time_point start = Clock::now();
    std::vector<Sample> samples;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        const Sample s = TakeSample(start);
        samples.push_back(s);
        std::printf("%6.2f min  RSS %7ld KB  descriptors %3ld  threads %3ld\n", s.minutes, s.rssKb,
                    s.descriptors, s.threads);
        std::fflush(stdout);
    });
    sampler.start(kSampleMs);
    int versionQueries = 0;
    QTimer versions;
    QObject::connect(&versions, &QTimer::timeout, [&] {
        if (dialog.IsDlgItemEnabled(IDC_VERSIONS)) {
            ++versionQueries;
            dialog.OnCmdMsg(IDC_VERSIONS); // runs its own wait loop until the answer
        }
    });
    versions.start(kVersionsMs);
    {
        QEventLoop loop;
        QTimer::singleShot(minutes * 60000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    sampler.stop();
    versions.stop();
    dialog.OnCmdMsg(IDC_DISCONNECT);
    dialog.DestroyWindow();

    std::vector<Sample> settled;
    std::copy_if(samples.begin(), samples.end(), std::back_inserter(settled),
                 [&](const Sample& s) { return s.minutes >= warmUpMinutes; });
    if (settled.size() < 2) {
        std::fprintf(stderr, "too short a run for a figure after the warm-up\n");
        return 1;
    }
    const auto [fewestFd, mostFd] =
        std::minmax_element(settled.begin(), settled.end(), [](const Sample& a, const Sample& b) {
            return a.descriptors < b.descriptors;
        });
    const auto [fewestThreads, mostThreads] =
        std::minmax_element(settled.begin(), settled.end(),
                            [](const Sample& a, const Sample& b) { return a.threads < b.threads; });
    std::printf("after %.1f min of warm-up (%zu samples, %d version queries): RSS slope %.2f KB/min"
                " (target < 1), descriptors %ld..%ld, threads %ld..%ld\n",
                warmUpMinutes, settled.size(), versionQueries, RssSlope(settled),
                fewestFd->descriptors, mostFd->descriptors, fewestThreads->threads,
                mostThreads->threads);
    const bool grew = settled.back().descriptors > settled.front().descriptors ||
                      settled.back().threads > settled.front().threads;
    if (grew) {
        std::printf("descriptors or threads grew after the warm-up\n");
    }
    return grew ? 1 : 0;
}
