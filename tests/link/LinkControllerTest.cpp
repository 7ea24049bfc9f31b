#include "CComLink.h"
#include "LinkButtons.h"
#include "NotifyCounter.h"
#include "PtyPair.h"
#include "ResourceIds.h"
#include "TestMessages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <map>
#include <string>
#include <system_error>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The main window as the link controller sees it; the test plays its message loop.
class FakeWindow : public ILinkOwner {
public:
    void OnLinkStateChanged(LinkState state) override {
        ApplyLinkButtons(state, [this](int id, bool on) { enabled[id] = on; });
    }
    void AppendLog(const std::string& text, bool newLine) override {
        EXPECT_TRUE(newLine);
        log.push_back(text);
    }
    LinkSettings CurrentLinkSettings() const override { return settings; }
    std::function<void()> LinkNotifier() override {
        return [this] { notes.Add(); };
    }
    void OnDeviceMessage(const LinkMessage& message) override { received.push_back(message); }
    void PollMeasurement(int action) override { polls.push_back(action); }
    void ShowLinkMessage(const std::string& text) override { boxes.push_back(text); }
    void ReportPortFailure(const PortFailure& failure) override {
        EXPECT_EQ(failures.size(), boxes.size()) << "told before the box";
        failures.push_back(failure);
    }

    LinkSettings settings;
    std::map<int, bool> enabled;
    std::vector<std::string> log;
    std::vector<LinkMessage> received;
    std::vector<int> polls;
    std::vector<std::string> boxes;
    std::vector<PortFailure> failures;
    CNotifyCounter notes;
};

class LinkControllerTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.Ok()) << "no pseudo-terminal available";
        window.settings = {pty.Port(), 19200, pty.AppDirectory()};
    }
    // Handles the notifications as the window's loop would, until `count` have come.
    void HandleNotifications(int count) {
        ASSERT_TRUE(window.notes.WaitFor(count)) << "only " << window.notes.Count();
        while (handled < count) {
            ++handled;
            (void)link->OnCmdMsg(ID_LINK_EVENT);
        }
    }
    std::vector<bool> Buttons() {
        std::vector<bool> states;
        for (const int id :
             {IDC_CONNECT, IDC_DISCONNECT, IDC_CONNECTION_OPTIONS, IDOK, IDC_VERSIONS,
              IDC_SENSOR_CONFIG, IDC_OUTPUTS, IDC_UPDATE_TIME, IDC_READER_CONFIG, IDC_MEASURE}) {
            states.push_back(window.enabled.at(id));
        }
        return states;
    }

    const std::vector<bool> kDisconnected{true,  false, true,  true,  false,
                                          false, false, false, false, false};
    const std::vector<bool> kConnected{false, true, false, true,  true,
                                       true,  true, false, false, false};

    CPtyPair pty;
    FakeWindow window;
    std::unique_ptr<CComLink> link = std::make_unique<CComLink>(window);
    int handled = 0;
};

TEST_F(LinkControllerTest, ConnectPassesMessagesOnAndDisconnectEndsCleanly) {
    link->SetControlsDisconnected();
    EXPECT_EQ(Buttons(), kDisconnected);
    ASSERT_TRUE(link->OnCmdMsg(ID_CONNECT));
    EXPECT_FALSE(window.enabled.at(IDC_CONNECT));
    EXPECT_FALSE(window.enabled.at(IDOK)) << "no leaving while the port opens";
    HandleNotifications(2); // opening, connected
    EXPECT_EQ(
        window.log,
        (std::vector<std::string>{
            "Otwieranie portu COM" + std::to_string(pty.Port()) + " , 19200b/s...", "Połączono"}));
    EXPECT_EQ(Buttons(), kConnected);
    EXPECT_EQ(window.polls, std::vector<int>{1});
    EXPECT_EQ(link->StartWorker(pty.Port(), 19200), 0) << "one worker at a time";

    // What the device sends reaches the queue in its order, taken in passes.
    ASSERT_TRUE(pty.Send(WireText(MakeMessage(0x21, {0xAA})) + WireText(MakeMessage(0x22))));
    HandleNotifications(4);
    ASSERT_EQ(window.received.size(), 2u);
    EXPECT_EQ(window.received[0].command, 0x21);
    EXPECT_EQ(window.received[0].payload[0], 0xAA);
    EXPECT_EQ(window.received[1].command, 0x22);

    // And what the queue puts for the device goes out.
    LinkMessage request;
    request.address = 0x1F;
    request.command = 0x21;
    PutForDevice(link->m_context, request);
    EXPECT_EQ(pty.Receive(11, 2s), "\n\r:031F21BD");

    ASSERT_TRUE(link->OnCmdMsg(ID_DISCONNECT));
    ASSERT_TRUE(link->OnCmdMsg(ID_DISCONNECT)) << "twice only asks again";
    EXPECT_EQ(Buttons(), kConnected) << "unchanged until the worker has ended";
    HandleNotifications(5);
    EXPECT_EQ(window.log.back(), "Rozłączono");
    EXPECT_EQ(Buttons(), kDisconnected);
    EXPECT_EQ(window.polls, (std::vector<int>{1, 0}));
    EXPECT_TRUE(window.boxes.empty());
    EXPECT_EQ(link->m_context.running.load(), 0);

    // A new connection works on the same controller.
    ASSERT_TRUE(link->OnCmdMsg(ID_CONNECT));
    HandleNotifications(7);
    EXPECT_EQ(window.log.back(), "Połączono");
}

TEST_F(LinkControllerTest, PortThatCannotBeOpenedIsReported) {
    window.settings.port = 250; // nothing behind it
    link->OnConnect();
    HandleNotifications(2); // opening, ended
    EXPECT_EQ(window.log,
              (std::vector<std::string>{"Otwieranie portu COM250 , 19200b/s...", "Rozłączono"}));
    EXPECT_EQ(window.boxes,
              std::vector<std::string>{"Nie można korzystać z wybranego portu.\r\nRozłączono."});
    EXPECT_EQ(Buttons(), kDisconnected);
    EXPECT_EQ(window.polls, std::vector<int>{0});
    ASSERT_EQ(window.failures.size(), 1u);
    EXPECT_EQ(window.failures[0].port, 250);
    EXPECT_EQ(window.failures[0].device, "/dev/ttyS249");
    EXPECT_EQ(window.failures[0].reason, std::generic_category().message(ENOENT));
    EXPECT_FALSE(window.failures[0].lost);
}

// A line that goes away while connected ends the link as a port that cannot be used, whether
// the worker was idle or had a request to send; the same port connects again once a device is
// back behind it.
TEST_F(LinkControllerTest, LineThatGoesAwayEndsTheLinkAndTheSamePortConnectsAgain) {
    const std::string kPortBox = "Nie można korzystać z wybranego portu.\r\nRozłączono.";
    for (const bool requestOutstanding : {false, true}) {
        SCOPED_TRACE(requestOutstanding ? "request outstanding" : "idle");
        const std::size_t logBefore = window.log.size();
        link->OnConnect();
        HandleNotifications(handled + 2);
        ASSERT_EQ(Buttons(), kConnected);
        if (requestOutstanding) {
            LinkMessage request;
            request.address = 0x1F;
            request.command = 0x21;
            PutForDevice(link->m_context, request);
            ASSERT_EQ(pty.Receive(11, 2s), "\n\r:031F21BD");
            PutForDevice(link->m_context, request); // and one more for a line that is gone
        }
        pty.CloseMaster();
        HandleNotifications(handled + 1);
        EXPECT_EQ(std::vector<std::string>(window.log.begin() + logBefore, window.log.end()),
                  (std::vector<std::string>{"Otwieranie portu COM" + std::to_string(pty.Port()) +
                                                " , 19200b/s...",
                                            "Połączono", "Rozłączono"}));
        EXPECT_EQ(Buttons(), kDisconnected);
        EXPECT_EQ(window.polls.back(), 0);
        EXPECT_EQ(window.boxes.back(), kPortBox);
        ASSERT_FALSE(window.failures.empty());
        EXPECT_TRUE(window.failures.back().lost);
        EXPECT_EQ(window.failures.back().device, pty.SlavePath());
        EXPECT_EQ(window.failures.back().reason, std::generic_category().message(EIO));
        EXPECT_EQ(link->m_context.running.load(), 0);
        ASSERT_TRUE(pty.Replug());
    }
    EXPECT_EQ(window.boxes.size(), 2u);
    EXPECT_EQ(window.notes.Count(), handled) << "nothing after the ended event";

    link->OnConnect();
    HandleNotifications(handled + 2);
    EXPECT_EQ(window.log.back(), "Połączono");
    ASSERT_TRUE(pty.Send(WireText(MakeMessage(0x21, {0xAA}))));
    HandleNotifications(handled + 1);
    ASSERT_EQ(window.received.size(), 1u);
    EXPECT_EQ(window.received[0].payload[0], 0xAA);
}

// A controller whose worker thread cannot be started, as when the system has none left.
class NoThreadLink : public CComLink {
public:
    using CComLink::CComLink;

protected:
    std::thread LaunchWorker() override {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    }
};

TEST_F(LinkControllerTest, WorkerThatCannotStartIsReported) {
    NoThreadLink noThread(window);
    noThread.OnConnect();
    EXPECT_EQ(window.log, std::vector<std::string>{"Rozłączono"});
    EXPECT_EQ(window.boxes, std::vector<std::string>{"Nieznany powod bledu"});
    EXPECT_EQ(Buttons(), kDisconnected);
    EXPECT_EQ(noThread.m_context.running.load(), 0) << "a later Połącz may try again";
}

// Only the worker's own events move the link's state: device frames whose command byte equals
// a link event's number (here the ended-then-connected pair :031F647A :031F6579 and opening)
// are ordinary device messages, and the buttons keep matching the running worker.
TEST_F(LinkControllerTest, DeviceFramesWithLinkEventNumbersNeverMoveTheLinkState) {
    link->OnConnect();
    HandleNotifications(2);
    ASSERT_EQ(Buttons(), kConnected);
    ASSERT_TRUE(pty.Send("\n\r:031F647A\n\r:031F6579" + WireText(MakeMessage(102))));
    HandleNotifications(5);
    ASSERT_EQ(window.received.size(), 3u);
    EXPECT_EQ(window.received[0].command, 100);
    EXPECT_EQ(window.received[1].command, 101);
    EXPECT_EQ(window.received[2].command, 102);
    EXPECT_EQ(Buttons(), kConnected);
    EXPECT_EQ(link->m_context.running.load(), 1);
    EXPECT_EQ(window.log.size(), 2u) << "no link line logged for a device frame";

    // "Rozłącz" still works, and ends the link exactly once.
    link->OnDisconnect();
    HandleNotifications(6);
    EXPECT_EQ(Buttons(), kDisconnected);
    EXPECT_EQ(std::count(window.log.begin(), window.log.end(), "Rozłączono"), 1);
    EXPECT_EQ(link->m_context.running.load(), 0);
    EXPECT_TRUE(window.boxes.empty());
}

// Under a flood one notification takes a bounded pass, oldest first, and asks for another
// while more wait, so that the window's other events get their turn.
TEST_F(LinkControllerTest, NotificationTakesABoundedPassAndAsksForMore) {
    link->OnConnect();
    HandleNotifications(2);
    const std::size_t kFrames = CComLink::kLinkEventPass * 2 + 5;
    std::string frames;
    for (std::size_t i = 0; i < kFrames; ++i) {
        frames += WireText(MakeMessage(0x22, {static_cast<std::uint8_t>(i)}));
    }
    ASSERT_TRUE(pty.Send(frames));
    ASSERT_TRUE(window.notes.WaitFor(static_cast<int>(2 + kFrames)));
    const int before = window.notes.Count();
    (void)link->OnCmdMsg(ID_LINK_EVENT);
    EXPECT_EQ(window.received.size(), CComLink::kLinkEventPass);
    EXPECT_EQ(window.notes.Count(), before + 1) << "asks for another pass";
    (void)link->OnCmdMsg(ID_LINK_EVENT);
    (void)link->OnCmdMsg(ID_LINK_EVENT);
    ASSERT_EQ(window.received.size(), kFrames);
    for (std::size_t i = 0; i < kFrames; ++i) {
        EXPECT_EQ(window.received[i].payload[0], static_cast<std::uint8_t>(i));
    }
    EXPECT_EQ(window.notes.Count(), before + 2) << "none once the list is empty";
}

// Going away while connected, even with a write stuck on a line that takes nothing, ends the
// worker promptly and never leaves it running on a freed context.
TEST_F(LinkControllerTest, DestroyingWhileAWriteIsStalledEndsPromptly) {
    link->OnConnect();
    HandleNotifications(2);
    // Nobody reads the line: fill its buffer until the worker's writes block.
    LinkMessage big;
    big.address = 0x1F;
    big.command = 0x23;
    big.length = 62;
    for (int i = 0; i < 1000; ++i) {
        PutForDevice(link->m_context, big);
    }
    std::this_thread::sleep_for(200ms);
    {
        const std::lock_guard<std::mutex> guard(link->m_context.lock);
        ASSERT_GT(link->m_context.toDevice.Size(), 0u) << "the worker is stuck in a write";
    }
    const Clock::time_point start = Clock::now();
    link.reset();
    EXPECT_LT(Clock::now() - start, 1s);
}

} // namespace
