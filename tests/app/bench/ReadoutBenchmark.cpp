// qal-readout-bench: the full poll of the live readout, in the real main window against qal-sim
// on a pseudo-terminal, under the offscreen platform.
//   1. Round trip from the readout's request to the readout's text changed in the window, with
//      the simulator answering at once (target: 99th percentile under 1 ms).
//   2. The same on a line paced at 19200 baud, less the line time of request and answer
//      (17 + 27 characters, 22.9 ms): what the terminal itself adds (target: 99th percentile
//      under 0.5 ms). Then the same again through ser2net on this machine (RFC 2217), when it
//      is installed: the terminal's own share is from the worker's announcement to the text.
//   3. CPU of the whole terminal process while connected and polling once a second (target:
//      under 0.1 % of one core).
//   4. The longest stall of the user-interface thread while connecting and disconnecting
//      (target: under 25 ms).
// Usage: qal-readout-bench [round trips, default 2000] [polling seconds, default 30]
//                          [monitor | monitor-long | monitor-full]
// With "monitor", the line monitor is open while polling (3. then includes its cost);
// "monitor-long" opens it holding 5000 rows already, as after an hour and more of polling;
// "monitor-full" as many as it keeps, so that every batch drops the oldest rows.
// Under valgrind --tool=callgrind --collect-atstart=no, only the polling of 3. is counted.
#include "BenchSupport.h"
#include "MeasurementReadout.h"
#include "ResourceIds.h"
#include "Ser2Net.h"
#include "SimProcess.h"
#include "TempDirectory.h"

#include "CLineMonitorWnd.h"
#include "CTerminalDlg.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <sys/resource.h>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_TOGGLE_COLLECT
#endif

namespace {

using Clock = std::chrono::steady_clock;

// Line time of the measurement request (3 payload bytes) and its answer (8) at 19200 8N1.
constexpr double kLineTimeMs = (17 + 27) * 10 * 1000.0 / 19200;

double CpuSeconds(int who) {
    rusage usage{};
    ::getrusage(who, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// The main window, timing each reading from its request to its text. In round-trip mode the
// next reading is asked for as soon as one is shown, instead of a second later.
class TimedTerminalDlg : public CTerminalDlg {
public:
    explicit TimedTerminalDlg(std::string appDir) : m_appDir(std::move(appDir)) {}

    void SubmitRequest(std::uint8_t address, std::uint8_t command, const std::uint8_t* payload,
                       std::uint8_t length, void* requester, CompletionFn callback) override {
        if (requester == &Readout()) {
            m_requested = Clock::now();
        }
        CTerminalDlg::SubmitRequest(address, command, payload, length, requester, callback);
    }

    void StopReadoutTimer() {
        StopTimers(&Readout(),
                   &TimerThunk<CMeasurementReadout, &CMeasurementReadout::PollMeasurement>, 1);
    }

    std::vector<double> roundTripsMs;
    std::vector<double> windowPartMs; // from the answer's notification to its text
    bool backToBack = false;

protected:
    std::string GetModuleFileName() const override { return m_appDir + "qal-terminal"; }

    // Notes when the worker announced its last message.
    std::function<void()> LinkNotifier() override {
        std::function<void()> post = CTerminalDlg::LinkNotifier();
        return [this, post] {
            m_notified.store(Clock::now().time_since_epoch().count());
            post();
        };
    }

    void SetReadInfoText(const std::string& text) override {
        CTerminalDlg::SetReadInfoText(text);
        if (text.empty()) {
            return; // a blank after no answer is not a reading
        }
        const Clock::time_point now = Clock::now();
        roundTripsMs.push_back(
            std::chrono::duration<double, std::milli>(now - m_requested).count());
        const Clock::time_point notified{Clock::duration(m_notified.load())};
        windowPartMs.push_back(std::chrono::duration<double, std::milli>(now - notified).count());
        if (backToBack) {
            StopReadoutTimer();
            QTimer::singleShot(0, GetWindow(), [this] { PollMeasurement(1); });
        }
    }

private:
    std::string m_appDir;
    Clock::time_point m_requested;
    std::atomic<Clock::rep> m_notified{0};
};

double Percentile(std::vector<double> values, double share) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1));
    return values[index];
}

bool Connected(const CTerminalDlg& dialog) {
    return dialog.IsDlgItemEnabled(IDC_DISCONNECT);
}

// The longest gap between the ticks of a 1 ms heartbeat while `action` takes effect.
double LongestStallMs(const std::function<void()>& action, const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    qint64 last = clock.nsecsElapsed();
    qint64 longest = 0;
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    heartbeat.start(1);
    action();
    RunUntil(done, 5000);
    RunUntil([] { return false; }, 50); // and a little after
    heartbeat.stop();
    longest = std::max(longest, clock.nsecsElapsed() - last);
    return static_cast<double>(longest) / 1e6;
}

struct Session {
    CTempDirectory dir{"qal-readout-bench"};
    std::unique_ptr<CSimProcess> sim;
    std::unique_ptr<CSer2Net> ser2net;
    std::unique_ptr<TimedTerminalDlg> dialog;

    // throughSer2Net: COM1 is ser2net's RFC 2217 accepter in front of the simulator's line.
    bool Start(const std::vector<std::string>& simOptions, bool throughSer2Net = false) {
        std::vector<std::string> args{"--model-marker", "never"};
        if (!throughSer2Net) {
            args.insert(args.end(), {"--link", dir.Path(), "--port", "1"});
        }
        args.insert(args.end(), simOptions.begin(), simOptions.end());
        sim = std::make_unique<CSimProcess>(args);
        if (sim->FirstLine().empty()) {
            std::fprintf(stderr, "qal-sim did not start: %s\n", sim->Errors().c_str());
            return false;
        }
        if (throughSer2Net) {
            ser2net = std::make_unique<CSer2Net>(dir.Path(), sim->FirstLine());
            if (!ser2net->Start()) {
                std::fprintf(stderr, "ser2net did not start: %s\n", ser2net->Errors().c_str());
                return false;
            }
            std::ofstream(dir.Join("ports.json"))
                << "{\"COM1\": \"" << ser2net->Rfc2217Url() << "\"}";
        }
        std::ofstream(dir.Join("config.cfg"), std::ios::binary)
            .write("\x01\0\0\0\x00\x4B\0\0\x1F\0\0\0", 12);
        dialog = std::make_unique<TimedTerminalDlg>(dir.Path() + "/");
        return dialog->Create();
    }
    bool Connect() {
        dialog->OnCmdMsg(IDC_CONNECT);
        return RunUntil([&] { return Connected(*dialog); }, 5000);
    }
    ~Session() {
        if (dialog) {
            dialog->DestroyWindow();
        }
    }
};

bool MeasureRoundTrips(const std::vector<std::string>& simOptions, int count,
                       std::vector<double>& samples, std::vector<double>& windowPart,
                       bool throughSer2Net = false) {
    Session session;
    if (!session.Start(simOptions, throughSer2Net) || !session.Connect()) {
        return false;
    }
    TimedTerminalDlg& dialog = *session.dialog;
    RunUntil([&] { return !dialog.roundTripsMs.empty(); }, 5000); // the first, at connect
    dialog.roundTripsMs.clear();
    dialog.backToBack = true;
    dialog.StopReadoutTimer(); // one chain: the benchmark's own
    dialog.PollMeasurement(1);
    const bool done = RunUntil(
        [&] { return dialog.roundTripsMs.size() >= static_cast<std::size_t>(count); }, 600000);
    samples = dialog.roundTripsMs;
    windowPart = dialog.windowPartMs;
    return done;
}

} // namespace

int main(int argc, char* argv[]) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    unsetenv("QT_QPA_PLATFORMTHEME");
    QApplication application(argc, argv);
    QuietApp app;
    const int count = argc > 1 ? std::max(10, std::atoi(argv[1])) : 2000;
    const int pollSeconds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 30;
    const std::string monitorMode = argc > 3 ? argv[3] : "";
    const bool withMonitor =
        monitorMode == "monitor" || monitorMode == "monitor-long" || monitorMode == "monitor-full";
    const std::size_t earlierRows = monitorMode == "monitor-long"   ? 5000
                                    : monitorMode == "monitor-full" ? CMonitorRows::kDefaultCapacity
                                                                    : 0;

    std::vector<double> samples;
    std::vector<double> windowPart;
    if (!MeasureRoundTrips({}, count, samples, windowPart)) {
        std::fprintf(stderr, "unpaced round trips did not complete\n");
        return 1;
    }
    std::printf("round trip, unpaced (%zu):          p50 %.3f ms  p99 %.3f ms  max %.3f ms"
                "  (target p99 < 1 ms)\n",
                samples.size(), Percentile(samples, 0.5), Percentile(samples, 0.99),
                Percentile(samples, 1.0));

    const int pacedCount = std::max(10, count / 4);
    if (!MeasureRoundTrips({"--pace"}, pacedCount, samples, windowPart)) {
        std::fprintf(stderr, "paced round trips did not complete\n");
        return 1;
    }
    for (double& sample : samples) {
        sample -= kLineTimeMs;
    }
    std::printf("round trip, paced, less %.1f ms line time (%zu): p50 %.3f ms  p99 %.3f ms"
                "  max %.3f ms  (target p99 < 0.5 ms)\n",
                kLineTimeMs, samples.size(), Percentile(samples, 0.5), Percentile(samples, 0.99),
                Percentile(samples, 1.0));
    std::printf(
        "  of which from the worker's announcement to the text:  p50 %.3f ms  p99 %.3f ms\n",
        Percentile(windowPart, 0.5), Percentile(windowPart, 0.99));

    if (CSer2Net::Program().empty()) {
        std::printf("round trip through ser2net: skipped, ser2net is not installed\n");
    } else if (!MeasureRoundTrips({"--pace"}, pacedCount, samples, windowPart, true)) {
        std::fprintf(stderr, "round trips through ser2net did not complete\n");
        return 1;
    } else {
        for (double& sample : samples) {
            sample -= kLineTimeMs;
        }
        std::printf("round trip through ser2net (RFC 2217, localhost), paced, less %.1f ms line"
                    " time (%zu): p50 %.3f ms  p99 %.3f ms  max %.3f ms\n",
                    kLineTimeMs, samples.size(), Percentile(samples, 0.5),
                    Percentile(samples, 0.99), Percentile(samples, 1.0));
        std::printf("  the terminal's own share, from the worker's announcement to the text:"
                    "  p50 %.3f ms  p99 %.3f ms  (target p99 < 0.5 ms)\n",
                    Percentile(windowPart, 0.5), Percentile(windowPart, 0.99));
    }

    Session session;
    if (!session.Start({})) {
        return 1;
    }
    if (withMonitor && !session.dialog->OnSysCommand(0x20)) { // "Podgląd transmisji"
        std::fprintf(stderr, "the line monitor did not open\n");
        return 1;
    }
    if (earlierRows != 0) {
        CLineMonitorWnd& monitor = *session.dialog->LineMonitor();
        for (std::size_t i = 0; i < earlierRows; ++i) {
            monitor.Events().OnLineEvent(LineEvent::Opening, "earlier row " + std::to_string(i));
        }
        (void)monitor.Tick();                // there were rows
        RunUntil([] { return false; }, 200); // and they are drawn
    }
    const double connectStall = LongestStallMs([&] { session.dialog->OnCmdMsg(IDC_CONNECT); },
                                               [&] { return Connected(*session.dialog); });
    const double cpuBefore = CpuSeconds(RUSAGE_SELF);
    const double uiCpuBefore = CpuSeconds(RUSAGE_THREAD);
    const Clock::time_point start = Clock::now();
    {
        // The plain event loop, as the program runs it: nothing of the benchmark wakes it.
        QEventLoop loop;
        QTimer::singleShot(pollSeconds * 1000, &loop, &QEventLoop::quit);
        CALLGRIND_TOGGLE_COLLECT;
        loop.exec();
        CALLGRIND_TOGGLE_COLLECT;
    }
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    const double cpu = CpuSeconds(RUSAGE_SELF) - cpuBefore;
    const double uiCpu = CpuSeconds(RUSAGE_THREAD) - uiCpuBefore;
    const std::string monitorText =
        !withMonitor ? ""
                     : ", line monitor open" +
                           (earlierRows != 0 ? " with " + std::to_string(earlierRows) + " rows"
                                             : std::string());
    std::printf("CPU while connected and polling for %d s%s: %.3f %% of one core, of which the"
                " user-interface thread %.3f %%  (%zu readings; target < 0.1 %%)\n",
                pollSeconds, monitorText.c_str(), 100.0 * cpu / wall, 100.0 * uiCpu / wall,
                session.dialog->roundTripsMs.size());
    const double disconnectStall =
        LongestStallMs([&] { session.dialog->OnCmdMsg(IDC_DISCONNECT); },
                       [&] { return session.dialog->IsDlgItemEnabled(IDC_CONNECT); });
    std::printf("longest user-interface stall: connect %.2f ms, disconnect %.2f ms"
                "  (target < 25 ms)\n",
                connectStall, disconnectStall);
    return 0;
}
