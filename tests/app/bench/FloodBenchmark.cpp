// qal-flood-bench: the real main window (offscreen) connected to a pseudo-terminal on which the
// "device" sends as fast as the line takes it, for each of three kinds of input:
//   frames  valid measurement answers, back to back;
//   texts   device texts (0xA0), back to back;
//   noise   bytes that never make a frame.
// For each it prints the longest time the window thread was busy (the lateness of a 10 ms
// timer, during the flood and while the window catches up), peak and current RSS, and the time
// from "Wyjście" (posted while the flood still runs) to the window gone and its worker joined.
// Targets: busy under 250 ms, exit under 1 s, RSS under 64 MB.
// Usage: qal-flood-bench [seconds per kind, default 10] [frames|texts|noise|monitor ...]
// With "monitor", the line monitor is open during each flood; the busy figure then includes it.
#include "BenchSupport.h"
#include "FrameEncoder.h"
#include "PtyPair.h"
#include "ResourceIds.h"

#include "CTerminalDlg.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <poll.h>
#include <unistd.h>

namespace {

class BenchTerminalDlg : public CTerminalDlg {
public:
    explicit BenchTerminalDlg(std::string appDir) : m_appDir(std::move(appDir)) {}

protected:
    std::string GetModuleFileName() const override { return m_appDir + "/qal-terminal"; }

private:
    std::string m_appDir;
};

// A field of /proc/self/status in kB; -1 when absent.
long StatusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::size_t length = std::strlen(field);
    while (std::getline(status, line)) {
        if (line.compare(0, length, field) == 0 && line.size() > length && line[length] == ':') {
            return std::strtol(line.c_str() + length + 1, nullptr, 10);
        }
    }
    return -1;
}

std::string Frame(std::uint8_t command, const std::vector<std::uint8_t>& payload) {
    LinkMessage message;
    message.address = 31;
    message.command = command;
    message.length = static_cast<std::uint8_t>(payload.size());
    std::copy(payload.begin(), payload.end(), message.payload);
    EncodedFrame frame;
    (void)FrameEncoder::Encode(message, frame); // payloads here always fit
    return std::string(frame.text, frame.size);
}

// About 64 KB of the given kind of input, sent over and over.
std::string FloodBlock(const std::string& kind) {
    std::string block;
    if (kind == "frames") {
        for (int i = 0; block.size() < 65536; ++i) {
            block += Frame(0x22, {static_cast<std::uint8_t>(i), 0, 0, 0, 0, 0, 0x08, 0});
        }
    } else if (kind == "texts") {
        const std::string text = "Komunikat urzadzenia";
        for (int i = 0; block.size() < 65536; ++i) {
            std::vector<std::uint8_t> payload(text.begin(), text.end());
            payload.push_back(static_cast<std::uint8_t>('0' + i % 10));
            payload.push_back(0);
            block += Frame(0xA0, payload);
        }
    } else {
        std::mt19937 random(1);
        while (block.size() < 65536) {
            const auto byte = static_cast<char>(random() & 0xFF);
            block += byte == ':' ? ';' : byte; // never the start of a frame
        }
    }
    return block;
}

// Writes the block to the line until told to stop; never blocks longer than 50 ms.
void Flood(int master, const std::string& block, const std::atomic<bool>& stop,
           std::atomic<long long>& sent) {
    std::size_t offset = 0;
    while (!stop.load()) {
        pollfd ready{master, POLLOUT, 0};
        if (::poll(&ready, 1, 50) <= 0) {
            continue;
        }
        const ssize_t written = ::write(master, block.data() + offset, block.size() - offset);
        if (written > 0) {
            sent += written;
            offset = (offset + static_cast<std::size_t>(written)) % block.size();
        }
    }
}

// Drains what the terminal sends, so that its writes never stall.
void Drain(int master, const std::atomic<bool>& stop) {
    char bytes[4096];
    while (!stop.load()) {
        pollfd ready{master, POLLIN, 0};
        if (::poll(&ready, 1, 50) > 0) {
            (void)::read(master, bytes, sizeof bytes); // only emptied
        }
    }
}

int RunKind(const std::string& kind, int seconds, bool withMonitor) {
    CPtyPair pty(1);
    if (!pty.Ok()) {
        std::fprintf(stderr, "no pseudo-terminal\n");
        return 1;
    }
    BenchTerminalDlg dialog(pty.AppDirectory());
    if (!dialog.Create()) {
        return 1;
    }
    (void)dialog.OnCmdMsg(IDC_CONNECT);
    if (!RunUntil([&] { return dialog.IsDlgItemEnabled(IDC_DISCONNECT); }, 5000)) {
        std::fprintf(stderr, "%s: not connected\n", kind.c_str());
        return 1;
    }
    if (withMonitor && !dialog.OnSysCommand(0x20)) { // "Podgląd transmisji"
        std::fprintf(stderr, "the line monitor did not open\n");
        return 1;
    }

    // The window thread's lateness: a 10 ms timer that notes how late each tick comes.
    QElapsedTimer clock;
    clock.start();
    qint64 lastTick = clock.elapsed();
    qint64 longestBusy = 0;
    QTimer heartbeat;
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longestBusy = std::max(longestBusy, now - lastTick - 10);
        lastTick = now;
    });
    heartbeat.start(10);

    std::atomic<bool> stop{false};
    std::atomic<long long> sent{0};
    const std::string block = FloodBlock(kind);
    std::thread flooder([&] { Flood(pty.Master(), block, stop, sent); });
    std::thread drainer([&] { Drain(pty.Master(), stop); });

    (void)RunUntil([] { return false; }, seconds * 1000);

    // "Wyjście" while the flood goes on: it waits behind whatever the window has queued.
    const qint64 exitStart = clock.elapsed();
    dialog.PostCommand(IDOK);
    const bool honoured = RunUntil([&] { return !dialog.GetWindow()->isVisible(); }, 60000);
    dialog.DestroyWindow(); // stops and joins the worker
    const qint64 exitMs = clock.elapsed() - exitStart;
    heartbeat.stop();
    stop.store(true);
    flooder.join();
    drainer.join();

    std::printf("%-6s%s %3d s  %7.1f MB sent  longest busy %6lld ms  exit %s%6lld ms  "
                "peak RSS %6.1f MB  RSS now %6.1f MB\n",
                kind.c_str(), withMonitor ? "+mon" : "", seconds,
                static_cast<double>(sent.load()) / 1e6, static_cast<long long>(longestBusy),
                honoured ? "" : ">", static_cast<long long>(exitMs), StatusKb("VmHWM") / 1024.0,
                StatusKb("VmRSS") / 1024.0);
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    ::unsetenv("QT_QPA_PLATFORMTHEME");
    QApplication qtApp(argc, argv);
    QuietApp app;
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    std::vector<std::string> kinds;
    bool withMonitor = false;
    for (int i = 2; i < argc; ++i) {
        if (std::string(argv[i]) == "monitor") {
            withMonitor = true;
        } else {
            kinds.emplace_back(argv[i]);
        }
    }
    if (kinds.empty()) {
        kinds = {"frames", "texts", "noise"};
    }
    int result = 0;
    for (const std::string& kind : kinds) {
        result |= RunKind(kind, seconds, withMonitor);
    }
    return result;
}
