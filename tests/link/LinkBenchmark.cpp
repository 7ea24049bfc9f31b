// qal-link-bench: measures the link worker on a pseudo-terminal with a peer that answers every
// request like a device.
//   1. CPU used by a connected, idle worker (target: under 0.2 % of one core);
//   2. delay from the last byte of an answer reaching the line to the message standing in the
//      window's list (target: 99th percentile under 1 ms). It includes the pseudo-terminal's
//      own hand-over inside the kernel, so it is an upper bound of what the worker adds.
// Usage: qal-link-bench [idle seconds, default 3] [answers, default 2000]
#include "FrameEncoder.h"
#include "FrameParser.h"
#include "LinkContext.h"
#include "LinkWorker.h"
#include "PtyPair.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <poll.h>
#include <pthread.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double Seconds(const timespec& t) {
    return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

double ProcessCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// Notification times, in the order the worker announced its messages.
class CStamps {
public:
    void Add() {
        const auto now = Clock::now();
        {
            const std::lock_guard<std::mutex> guard(m_lock);
            m_times.push_back(now);
        }
        m_changed.notify_all();
    }

    bool WaitFor(std::size_t count, Clock::time_point& time) {
        std::unique_lock<std::mutex> guard(m_lock);
        if (!m_changed.wait_for(guard, 5s, [&] { return m_times.size() >= count; })) {
            return false;
        }
        time = m_times[count - 1];
        return true;
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<Clock::time_point> m_times;
};

// The device side: answers each request frame with an 8-byte payload. Before the last byte
// it pauses briefly, so that the worker is back in its wait, as it would be between the
// characters of a real line; the time of that last write is the start of the measurement.
class CAnsweringPeer {
public:
    explicit CAnsweringPeer(const CPtyPair& pty) : m_pty(pty), m_parser(m_store) {}

    void Run(std::atomic<bool>& stop) {
        while (!stop.load()) {
            pollfd readable{m_pty.Master(), POLLIN, 0};
            if (::poll(&readable, 1, 50) <= 0) {
                continue;
            }
            char chunk[256];
            const ssize_t n = ::read(m_pty.Master(), chunk, sizeof chunk);
            for (ssize_t i = 0; i < n; ++i) {
                LinkMessage request;
                if (m_parser.Feed(chunk[i]) && DecodeFrame(m_parser.Buffer(), request)) {
                    Answer(request);
                }
            }
        }
    }

    Clock::time_point LastByteTime(std::size_t answer) {
        const std::lock_guard<std::mutex> guard(m_lock);
        return m_lastByteTimes.at(answer);
    }

private:
    void Answer(const LinkMessage& request) {
        LinkMessage answer = request;
        answer.length = 8;
        for (int i = 0; i < answer.length; ++i) {
            answer.payload[i] = static_cast<std::uint8_t>(0x30 + i);
        }
        EncodedFrame frame;
        FrameEncoder::Encode(answer, frame);
        const std::string text(frame.text, frame.size);
        m_pty.Send(text.substr(0, text.size() - 1));
        std::this_thread::sleep_for(300us);
        {
            const std::lock_guard<std::mutex> guard(m_lock);
            m_lastByteTimes.push_back(Clock::now());
        }
        m_pty.Send(text.substr(text.size() - 1));
    }

    const CPtyPair& m_pty;
    std::uint8_t m_store[FrameParser::kCapacity] = {};
    FrameParser m_parser;
    std::mutex m_lock;
    std::vector<Clock::time_point> m_lastByteTimes;
};

} // namespace

int main(int argc, char** argv) {
    const double idleSeconds = argc > 1 ? std::atof(argv[1]) : 3.0;
    const int answers = argc > 2 ? std::atoi(argv[2]) : 2000;

    CPtyPair pty(7);
    if (!pty.Ok()) {
        std::fprintf(stderr, "qal-link-bench: no pseudo-terminal available\n");
        return 2;
    }
    LinkContext context;
    context.port = pty.Port();
    context.baudRate = 19200;
    context.appDirectory = pty.AppDirectory();
    CStamps stamps;
    context.notifier = [&] { stamps.Add(); };

    std::thread worker([&] { LinkThreadProc(&context); });
    clockid_t workerClock{};
    Clock::time_point ignored;
    if (::pthread_getcpuclockid(worker.native_handle(), &workerClock) != 0 ||
        !stamps.WaitFor(2, ignored)) {
        std::fprintf(stderr, "qal-link-bench: the worker did not connect\n");
        context.RequestStop();
        worker.join();
        return 2;
    }
    LinkMessage taken;
    while (TakeForWindow(context, taken) == 1) {
    }

    // 1. Idle CPU.
    timespec threadBefore{};
    timespec threadAfter{};
    ::clock_gettime(workerClock, &threadBefore);
    const double processBefore = ProcessCpuSeconds();
    const auto wallBefore = Clock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(idleSeconds));
    ::clock_gettime(workerClock, &threadAfter);
    const double processCpu = ProcessCpuSeconds() - processBefore;
    const double wall = std::chrono::duration<double>(Clock::now() - wallBefore).count();
    const double workerPercent = 100.0 * (Seconds(threadAfter) - Seconds(threadBefore)) / wall;
    const double processPercent = 100.0 * processCpu / wall;
    std::printf("idle worker CPU over %.1f s: %.4f %% of one core (worker thread), process "
                "%.4f %%  [target < 0.2 %%: %s]\n",
                wall, workerPercent, processPercent, workerPercent < 0.2 ? "met" : "MISSED");

    // 2. Answer-to-window delay.
    std::atomic<bool> stopPeer{false};
    CAnsweringPeer peer(pty);
    std::thread peerThread([&] { peer.Run(stopPeer); });
    std::vector<double> delays;
    LinkMessage request;
    request.address = 0x1F;
    request.command = 0x31;
    for (int i = 0; i < answers; ++i) {
        PutForDevice(context, request);
        Clock::time_point arrived;
        if (!stamps.WaitFor(static_cast<std::size_t>(3 + i), arrived)) {
            std::fprintf(stderr, "qal-link-bench: answer %d did not arrive\n", i);
            break;
        }
        TakeForWindow(context, taken);
        delays.push_back(
            std::chrono::duration<double, std::micro>(arrived - peer.LastByteTime(i)).count());
    }
    stopPeer = true;
    peerThread.join();
    context.RequestStop();
    worker.join();

    if (delays.empty()) {
        return 1;
    }
    std::sort(delays.begin(), delays.end());
    auto percentile = [&](double p) {
        return delays[std::min(delays.size() - 1, static_cast<std::size_t>(p * delays.size()))];
    };
    std::printf("last byte to window list over %zu answers: p50 %.0f us, p99 %.0f us, max %.0f "
                "us  [target p99 < 1000 us: %s]\n",
                delays.size(), percentile(0.5), percentile(0.99), delays.back(),
                percentile(0.99) < 1000.0 ? "met" : "MISSED");
    return 0;
}
