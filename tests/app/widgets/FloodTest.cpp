#include "TerminalTestSupport.h"

#include "CComLink.h"
#include "PtyPair.h"
#include "ResourceIds.h"
#include "TestMessages.h"

#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include <poll.h>
#include <unistd.h>

namespace {

std::string TextFrame(const std::string& text) {
    std::vector<std::uint8_t> payload(text.begin(), text.end());
    payload.push_back(0);
    return WireText(MakeMessage(0xA0, payload));
}

// The device side of the line: sends `block` over and over as fast as the line takes it, and
// empties what the terminal sends, until stopped.
class Flooder {
public:
    Flooder(int master, std::string block)
        : m_thread([this, master, block = std::move(block)] { Run(master, block); }) {}
    ~Flooder() {
        m_stop.store(true);
        m_thread.join();
    }

private:
    void Run(int master, const std::string& block) {
        std::size_t offset = 0;
        char sink[4096];
        while (!m_stop.load()) {
            pollfd ready{master, POLLIN | POLLOUT, 0};
            if (::poll(&ready, 1, 20) <= 0) {
                continue;
            }
            if ((ready.revents & POLLIN) != 0) {
                (void)::read(master, sink, sizeof sink); // only emptied
            }
            if ((ready.revents & POLLOUT) != 0) {
                const ssize_t n = ::write(master, block.data() + offset, block.size() - offset);
                if (n > 0) {
                    offset = (offset + static_cast<std::size_t>(n)) % block.size();
                }
            }
        }
    }

    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// The real main window on a pseudo-terminal: at an ordinary rate every device text reaches the
// log in order; under a flood of texts and readings the window keeps answering, its lists
// stay bounded, and "Wyjście" ends it at once.
TEST(FloodTest, OrdinaryRateMissesNothingAndAFloodNeitherFreezesNorGrows) {
    TestApp app;
    CPtyPair pty(1);
    ASSERT_TRUE(pty.Ok());
    {
        const std::vector<unsigned char> bytes = SettingsBytes(1, 19200, 31);
        std::ofstream(pty.AppDirectory() + "/config.cfg", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    TestTerminalDlg dialog(pty.AppDirectory());
    ASSERT_TRUE(dialog.Create());
    (void)dialog.OnCmdMsg(IDC_CONNECT);
    ASSERT_TRUE(ProcessEventsUntil([&] { return dialog.IsDlgItemEnabled(IDC_DISCONNECT); }));

    // A text every 20 ms: all of them, in order, one line each.
    constexpr int kTexts = 25;
    std::thread device([&] {
        for (int i = 0; i < kTexts; ++i) {
            (void)pty.Send(TextFrame("tekst " + std::to_string(i)));
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    const bool allShown = ProcessEventsUntil([&] {
        const std::vector<std::string> lines = LogLines(dialog);
        return !lines.empty() && lines.back() == "tekst " + std::to_string(kTexts - 1);
    });
    device.join();
    ASSERT_TRUE(allShown);
    {
        const std::vector<std::string> lines = LogLines(dialog);
        const auto first = std::find(lines.begin(), lines.end(), "tekst 0");
        ASSERT_EQ(lines.end() - first, kTexts);
        for (int i = 0; i < kTexts; ++i) {
            EXPECT_EQ(first[i], "tekst " + std::to_string(i));
        }
    }

    // The flood: texts and readings back to back, for two seconds.
    std::string block;
    for (int i = 0; block.size() < 32768; ++i) {
        block += TextFrame("zalew " + std::to_string(i));
        block += WireText(MakeMessage(0x22, {static_cast<std::uint8_t>(i), 0, 0, 0, 0, 0, 8, 0}));
    }
    QElapsedTimer clock;
    clock.start();
    qint64 lastTick = 0;
    qint64 longestGap = 0;
    QTimer heartbeat;
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, clock.elapsed() - lastTick);
        lastTick = clock.elapsed();
    });
    heartbeat.start(10);
    auto flooder = std::make_unique<Flooder>(pty.Master(), block);
    (void)ProcessEventsUntil([] { return false; }, 2000);
    // A window thread held for the whole flood would show a gap of two seconds; sanitised code
    // runs several times slower, so it gets a wider bound.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    constexpr qint64 kLongestGapMs = 750;
#else
    constexpr qint64 kLongestGapMs = 250;
#endif
    EXPECT_LT(longestGap, kLongestGapMs) << "the window thread was busy that long";
    EXPECT_LE(dialog.Log().LineCount(), 210);
    EXPECT_LE(dialog.Queue()->DoneCount(), CQueue::kUnsolicitedCapacity + 2);
    {
        CComLink& link = const_cast<CComLink&>(*dialog.Link());
        const std::lock_guard<std::mutex> guard(link.m_context.lock);
        EXPECT_LE(link.m_context.toWindow.Size(), CWindowList::kCapacity + 3);
    }

    // "Wyjście" while the flood goes on.
    const qint64 exitStart = clock.elapsed();
    dialog.PostCommand(IDOK);
    EXPECT_TRUE(ProcessEventsUntil([&] { return !dialog.GetWindow()->isVisible(); }, 1000));
    dialog.DestroyWindow();
    EXPECT_LT(clock.elapsed() - exitStart, 1000);
    heartbeat.stop();
    flooder.reset();
}

} // namespace
