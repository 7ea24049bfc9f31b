#include "LinkWorker.h"
#include "LinkContext.h"
#include "NotifyCounter.h"
#include "PtyPair.h"
#include "TestMessages.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include <poll.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::chrono::nanoseconds ProcessCpuTime() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

// The link controller's part, reduced to what the worker needs: start, stop, take messages.
class LinkWorkerLine : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_pty.Ok()) << "no pseudo-terminal available";
        m_context.port = m_pty.Port();
        m_context.baudRate = 19200;
        m_context.appDirectory = m_pty.AppDirectory();
        m_context.notifier = [this] { m_notes.Add(); };
    }

    void TearDown() override {
        if (m_worker.joinable()) {
            m_context.RequestStop();
            m_worker.join();
        }
    }

    void Start() {
        m_context.stopRequested = 0;
        m_worker = std::thread([this] { m_nThreadResult = LinkThreadProc(&m_context); });
    }

    // Stops the worker, waits for it and clears its running mark, as the controller does
    // after the ended event.
    void StopAndJoin() {
        m_context.RequestStop();
        Join();
    }

    void Join() {
        m_worker.join();
        m_context.running = 0;
    }

    // Waits for the opening and connected events and takes them.
    void Connect() {
        const int before = m_notes.Count();
        Start();
        ASSERT_TRUE(m_notes.WaitFor(before + 2));
        EXPECT_EQ(TakeCommands(), (std::vector<int>{kLinkEventOpening, kLinkEventConnected}));
    }

    std::vector<LinkMessage> TakeAll() {
        std::vector<LinkMessage> taken;
        LinkMessage message;
        while (TakeForWindow(m_context, message) == 1) {
            taken.push_back(message);
        }
        return taken;
    }

    std::vector<int> TakeCommands() {
        std::vector<int> commands;
        for (const LinkMessage& message : TakeAll()) {
            commands.push_back(message.command);
        }
        return commands;
    }

    CPtyPair m_pty{7};
    LinkContext m_context;
    CNotifyCounter m_notes;
    std::thread m_worker;
    int m_nThreadResult = -1;
};

} // namespace

TEST_F(LinkWorkerLine, PortThatCannotBeOpenedGivesOpeningThenEndedWithResult2) {
    ASSERT_EQ(::symlink("/nonexistent/tty", (m_pty.AppDirectory() + "/COM9").c_str()), 0);
    m_context.port = 9;
    Start();
    Join();
    EXPECT_EQ(m_nThreadResult, 2);
    EXPECT_EQ(m_context.result.load(), 2);
    EXPECT_EQ(m_notes.Count(), 2);
    EXPECT_EQ(TakeCommands(), (std::vector<int>{kLinkEventOpening, kLinkEventEnded}));
}

TEST_F(LinkWorkerLine, StopDuringOpenEndsWithoutAPassAndTheNextRunSendsWhatWasLeft) {
    // The opening event is put just before the port is opened: stop right then.
    m_context.notifier = [this] {
        if (m_notes.Count() == 0) {
            PutForDevice(m_context, MakeMessage(0x21));
            m_context.RequestStop();
        }
        m_notes.Add();
    };
    Start();
    Join();
    EXPECT_EQ(m_nThreadResult, 0);
    EXPECT_EQ(m_context.result.load(), 0);
    EXPECT_EQ(TakeCommands(),
              (std::vector<int>{kLinkEventOpening, kLinkEventConnected, kLinkEventEnded}));
    EXPECT_EQ(m_pty.ReceiveFor(100ms), "") << "no pass of the loop may run";

    m_context.notifier = [this] { m_notes.Add(); };
    Connect();
    EXPECT_EQ(m_pty.Receive(11, 2s), "\n\r:031F21BD");
    StopAndJoin();
}

TEST_F(LinkWorkerLine, SendsQueuedMessagesInQueueOrder) {
    Connect();
    PutForDevice(m_context, MakeMessage(0x21));
    PutForDevice(m_context, MakeMessage(0x22, {0, 0, 0}));
    PutForDevice(m_context, MakeMessage(0x23, {1}));
    EXPECT_EQ(m_pty.Receive(11 + 17 + 13, 2s), "\n\r:031F21BD" +
                                                   std::string("\n\r:061F22000000B9") +
                                                   WireText(MakeMessage(0x23, {1})));
    StopAndJoin();
    EXPECT_EQ(TakeCommands(), (std::vector<int>{kLinkEventEnded}));
    EXPECT_EQ(m_context.result.load(), 0);
}

TEST_F(LinkWorkerLine, QueuedRequestGoesOutWhileTheLineFloods) {
    Connect();
    // The device side writes without pause; a worker that read until the line is quiet would
    // never send.
    std::atomic<bool> flooding{true};
    std::thread flood([&] {
        const std::string noise(4096, '\x55');
        while (flooding) {
            if (::write(m_pty.Master(), noise.data(), noise.size()) < 0) {
                pollfd writable{m_pty.Master(), POLLOUT, 0};
                ::poll(&writable, 1, 5);
            }
        }
    });
    std::this_thread::sleep_for(50ms); // the flood is under way
    PutForDevice(m_context, MakeMessage(0x21));
    const std::string sent = m_pty.Receive(11, 1s);
    flooding = false;
    flood.join();
    EXPECT_EQ(sent, "\n\r:031F21BD");
    StopAndJoin();
}

TEST_F(LinkWorkerLine, AnswerInPiecesBetweenOutgoingFramesDecodesAsOne) {
    Connect();
    const int before = m_notes.Count();
    ASSERT_TRUE(m_pty.Send("\r\nnoise 0123 :051f21"));
    PutForDevice(m_context, MakeMessage(0x21));
    EXPECT_EQ(m_pty.Receive(11, 2s), "\n\r:031F21BD");
    ASSERT_TRUE(m_pty.Send("01"));
    std::this_thread::sleep_for(20ms);
    ASSERT_TRUE(m_pty.Send("0"));
    PutForDevice(m_context, MakeMessage(0x22, {0, 0, 0}));
    EXPECT_EQ(m_pty.Receive(17, 2s), "\n\r:061F22000000B9");
    ASSERT_TRUE(m_pty.Send("2b8"));

    ASSERT_TRUE(m_notes.WaitFor(before + 1));
    const std::vector<LinkMessage> taken = TakeAll();
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_EQ(taken[0].length, 2);
    EXPECT_EQ(taken[0].address, 0x1F);
    EXPECT_EQ(taken[0].command, 0x21);
    EXPECT_EQ(taken[0].payload[0], 1);
    EXPECT_EQ(taken[0].payload[1], 2);
    StopAndJoin();
}

TEST_F(LinkWorkerLine, DamagedAndEmptyFramesGiveNoNotification) {
    Connect();
    const int before = m_notes.Count();
    // Bad checksum, frames too short to carry a message, a broken frame; then one good frame.
    // The worker handles bytes in order, so once the good frame is announced the others have
    // been dealt with.
    ASSERT_TRUE(m_pty.Send(":031F21BE :00 :01FF :02FFFF :031F2?BD :051F21010203B8"));
    ASSERT_TRUE(m_pty.Send(":041F2205B6"));
    ASSERT_TRUE(m_notes.WaitFor(before + 1));
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(m_notes.Count(), before + 1);
    const std::vector<LinkMessage> taken = TakeAll();
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_EQ(taken[0].command, 0x22);
    EXPECT_EQ(taken[0].payload[0], 5);
    StopAndJoin();
}

TEST_F(LinkWorkerLine, OneNotificationPerReceivedMessageInArrivalOrder) {
    Connect();
    constexpr int kFrames = 60;
    std::string burst;
    for (int i = 0; i < kFrames; ++i) {
        // Device commands 100..102 look like link events and still come through as messages.
        burst += WireText(
            MakeMessage(static_cast<std::uint8_t>(70 + i), {static_cast<std::uint8_t>(i)}));
    }
    ASSERT_TRUE(m_pty.Send(burst));
    ASSERT_TRUE(m_notes.WaitFor(2 + kFrames));
    StopAndJoin();
    EXPECT_EQ(m_notes.Count(), 2 + kFrames + 1);
    const std::vector<LinkMessage> taken = TakeAll();
    ASSERT_EQ(taken.size(), static_cast<std::size_t>(kFrames + 1));
    for (int i = 0; i < kFrames; ++i) {
        EXPECT_EQ(taken[i].command, 70 + i);
        EXPECT_EQ(taken[i].payload[0], i);
    }
    EXPECT_EQ(taken.back().command, kLinkEventEnded);
}

TEST_F(LinkWorkerLine, StopWakesAnIdleWorkerAtOnce) {
    Connect();
    std::this_thread::sleep_for(100ms);
    const auto start = Clock::now();
    StopAndJoin();
    EXPECT_LT(Clock::now() - start, 1s);
    EXPECT_EQ(TakeCommands(), (std::vector<int>{kLinkEventEnded}));
    EXPECT_EQ(m_nThreadResult, 0);
}

// A line that is hung up (the adapter pulled out) ends the run by itself, at once and without
// spinning, with the result of a port that cannot be used and the system's reason.
TEST_F(LinkWorkerLine, HungUpLineEndsTheRunWithResult2) {
    Connect();
    const int before = m_notes.Count();
    const auto cpuBefore = ProcessCpuTime();
    m_pty.CloseMaster();
    ASSERT_TRUE(m_notes.WaitFor(before + 1)) << "the worker did not notice the hang-up";
    EXPECT_LT(ProcessCpuTime() - cpuBefore, 1s) << "the worker spun on the hung-up line";
    Join();
    EXPECT_EQ(m_nThreadResult, 2);
    EXPECT_EQ(m_context.result.load(), 2);
    EXPECT_EQ(TakeCommands(), (std::vector<int>{kLinkEventEnded}));
    EXPECT_TRUE(m_context.failure.lost);
    EXPECT_EQ(m_context.failure.device, m_pty.SlavePath());
    EXPECT_FALSE(m_context.failure.reason.empty());
}

// While somebody listens, the trace holds the frame sent, every byte read, the frames accepted
// and what the parser threw away, in the order it happened.
TEST_F(LinkWorkerLine, TraceShowsBothEndsOfTheWireAndWhatTheParserDropped) {
    m_context.wireTrace.Listen(true);
    Connect();
    PutForDevice(m_context, MakeMessage(0x21));
    ASSERT_EQ(m_pty.Receive(11, 2s), "\n\r:031F21BD");
    const int before = m_notes.Count();
    const std::string answer = "zz:031F21BE\n\r:041F2205B6";
    ASSERT_TRUE(m_pty.Send(answer));
    ASSERT_TRUE(m_notes.WaitFor(before + 1));
    StopAndJoin();

    std::vector<WireRecord> records;
    (void)m_context.wireTrace.Drain(records);
    std::string received; // however the reads split it
    std::vector<std::pair<WireEvent, FrameDrop>> events;
    std::vector<std::string> bytes;
    for (const WireRecord& record : records) {
        const std::string text(reinterpret_cast<const char*>(record.bytes), record.size);
        if (record.event == WireEvent::Received) {
            received += text;
        } else {
            events.emplace_back(record.event, record.drop);
            bytes.push_back(text);
        }
    }
    EXPECT_EQ(received, answer);
    EXPECT_EQ(events, (std::vector<std::pair<WireEvent, FrameDrop>>{
                          {WireEvent::Sent, FrameDrop::None},
                          {WireEvent::Dropped, FrameDrop::Noise},
                          {WireEvent::Dropped, FrameDrop::BadChecksum},
                          {WireEvent::Frame, FrameDrop::None}}));
    EXPECT_EQ(bytes, (std::vector<std::string>{"\n\r:031F21BD", "zz", "\x03\x1F\x21\xBE",
                                               "\x04\x1F\x22\x05\xB6"}));
}
