// qal-soak: the real main window (offscreen) against qal-sim on a paced, partly corrupted line
// that sends a device text every second, for N minutes. Every 10 s it does one thing a user
// would: every third time it asks "Wersje", otherwise it opens the next of the three settings
// dialogs (read from the device, then closed with "Zaniechaj"). Every 10 s it samples the
// resident memory, the open descriptors and the threads; at the end it prints the memory's
// slope after the warm-up (target: under 1 KB/min) and fails (status 1) when descriptors or
// threads grew after the warm-up, or when a settings dialog never opened or did not close.
//
// The window's two bounded histories (the event journal and the trend ring) are made small, so
// that they are full within the warm-up and the slope shows only what grows without a bound.
// --full-histories keeps the program's own caps instead, to see what filling them costs;
// --no-dialogs leaves the settings dialogs closed (their churn leaves free memory that hides
// slow growth elsewhere).
// Usage: qal-soak [minutes, default 2] [--full-histories] [--no-dialogs]
#include "BenchSupport.h"
#include "ResourceIds.h"
#include "SimProcess.h"
#include "TempDirectory.h"

#include "CTerminalDlg.h"

#include <QApplication>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kSampleMs = 10000;
constexpr int kActionMs = 10000; // "Wersje" every third action: every 30 s
// Full within seconds: a text a second, a reading about as often.
constexpr TerminalHistoryCaps kSmallHistories{64, 64};

class SoakTerminalDlg : public CTerminalDlg {
public:
    SoakTerminalDlg(std::string appDir, const TerminalHistoryCaps& caps)
        : CTerminalDlg(caps), m_appDir(std::move(appDir)) {}

protected:
    std::string GetModuleFileName() const override { return m_appDir + "qal-terminal"; }

private:
    std::string m_appDir;
};

// One settings dialog as the soak drives it, and what became of its opens.
struct SettingsDialogRun {
    int button;
    const char* title;
    int asked = 0;
    int opened = 0; // the dialog came up after the read
    int closed = 0; // ... and "Zaniechaj" ended it
    int unread = 0; // the read got no valid answer, so no dialog (the line is corrupted)
    int stuck = 0;  // opened without a cancel button to press
};

// Presses the button of one settings dialog and closes the dialog with its cancel button once
// it opens: polled from the running loop, since the dialog comes up only after the wait
// dialog's own loop has ended.
void OpenAndCancel(SoakTerminalDlg& window, SettingsDialogRun& run) {
    ++run.asked;
    bool opened = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (opened || modal == nullptr || !modal->isVisible() ||
            modal->windowTitle() != QString::fromUtf8(run.title)) {
            return;
        }
        opened = true;
        ++run.opened;
        auto* cancel = modal->findChild<QPushButton*>(QStringLiteral("control_%1").arg(IDCANCEL));
        if (cancel == nullptr) {
            ++run.stuck;
            modal->close();
            return;
        }
        cancel->click();
    });
    poll.start(5);
    window.OnCmdMsg(static_cast<unsigned>(run.button)); // returns once the dialog has gone
    poll.stop();
    if (!opened) {
        ++run.unread;
    } else if (QApplication::activeModalWidget() == nullptr) {
        ++run.closed;
    }
}

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
    int minutes = 2;
    bool fullHistories = false;
    bool dialogs = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--full-histories") == 0) {
            fullHistories = true;
        } else if (std::strcmp(argv[i], "--no-dialogs") == 0) {
            dialogs = false;
        } else {
            minutes = std::max(1, std::atoi(argv[i]));
        }
    }
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
    SoakTerminalDlg dialog(dir.Path() + "/",
                           fullHistories ? TerminalHistoryCaps{} : kSmallHistories);
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
        std::printf("%6.2f min  RSS %7ld KB  descriptors %3ld  threads %3ld  journal %6zu lines"
                    "  trend %5zu points\n",
                    s.minutes, s.rssKb, s.descriptors, s.threads, dialog.Journal().Count(),
                    dialog.ReadingTools().Ring().Size());
        std::fflush(stdout);
    });
    sampler.start(kSampleMs);
    int versionQueries = 0;
    SettingsDialogRun settingsDialogs[] = {{IDC_SENSOR_CONFIG, "Konfiguracja QAL"},
                                           {IDC_READER_CONFIG, "Konfiguracja czytnika"},
                                           {IDC_OUTPUTS, "Konfiguracja wyjść"}};
    int actions = 0;
    bool acting = false; // an action runs loops of its own, in which the timer fires again
    QTimer actor;
    QObject::connect(&actor, &QTimer::timeout, [&] {
        if (acting) {
            return;
        }
        acting = true;
        const int action = actions++;
        if (action % 3 == 2) {
            if (dialog.IsDlgItemEnabled(IDC_VERSIONS)) {
                ++versionQueries;
                dialog.OnCmdMsg(IDC_VERSIONS); // runs its own wait loop until the answer
            }
        } else if (dialogs) {
            SettingsDialogRun& run = settingsDialogs[(action - action / 3) % 3];
            if (dialog.IsDlgItemEnabled(run.button)) {
                OpenAndCancel(dialog, run);
            }
        }
        acting = false;
    });
    actor.start(kActionMs);
    {
        QEventLoop loop;
        QTimer::singleShot(minutes * 60000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    sampler.stop();
    actor.stop();
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
    std::printf("after %.1f min of warm-up (%zu samples, %d version queries, %s): RSS slope"
                " %.2f KB/min (target < 1), descriptors %ld..%ld, threads %ld..%ld\n",
                warmUpMinutes, settled.size(), versionQueries,
                fullHistories ? "the program's history caps" : "small history caps",
                RssSlope(settled), fewestFd->descriptors, mostFd->descriptors,
                fewestThreads->threads, mostThreads->threads);
    bool dialogsFailed = false;
    for (const SettingsDialogRun& run : settingsDialogs) {
        std::printf("\"%s\": asked %d, opened %d, closed by cancel %d, no valid answer %d\n",
                    run.title, run.asked, run.opened, run.closed, run.unread);
        // A tenth of the frames are broken, so a read may fail; four failures in a row are not
        // the line's doing.
        const bool neverOpened = run.opened == 0 && run.asked >= 4;
        if (neverOpened || run.closed != run.opened || run.stuck != 0) {
            std::printf("\"%s\" did not open and close as it should\n", run.title);
            dialogsFailed = true;
        }
    }
    const bool grew = settled.back().descriptors > settled.front().descriptors ||
                      settled.back().threads > settled.front().threads;
    if (grew) {
        std::printf("descriptors or threads grew after the warm-up\n");
    }
    return grew || dialogsFailed ? 1 : 0;
}
