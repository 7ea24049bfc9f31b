#include "CComLink.h"
#include "LinkButtons.h"
#include "NotifyCounter.h"
#include "ResourceIds.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Lines whose Open fails or succeeds as the test says, and whose far end the test can drop:
// each open line stands on a pipe whose writing end the test closes.
class CScriptedLines {
public:
    void FailNextOpens(int count) {
        const std::lock_guard<std::mutex> guard(m_lock);
        m_failures = count;
    }
    void LoseLine() {
        const std::lock_guard<std::mutex> guard(m_lock);
        if (m_hangUp >= 0) {
            ::close(m_hangUp);
            m_hangUp = -1;
        }
    }
    LinePortFactory Factory() {
        return [this](const std::string&) { return std::make_unique<CLine>(*this); };
    }
    ~CScriptedLines() { LoseLine(); }

private:
    class CLine final : public ILinePort {
    public:
        explicit CLine(CScriptedLines& script) : m_script(script) {}
        ~CLine() override { Close(); }
        int Open(int port, int) override {
            m_failure = PortFailure{};
            m_failure.port = port;
            m_failure.device = "tcp://mast-12.example.net:4001";
            const std::lock_guard<std::mutex> guard(m_script.m_lock);
            int fds[2];
            if (m_script.m_failures > 0 || ::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
                --m_script.m_failures;
                m_failure.reason = "mast-12.example.net:4001: Connection refused";
                return 0;
            }
            m_read = fds[0];
            m_script.m_hangUp = fds[1];
            return 1;
        }
        int Close() override {
            if (m_read >= 0) {
                ::close(m_read);
                m_read = -1;
            }
            return 1;
        }
        int Write(const void*, int size) override { return size; }
        int Read(void*, int) override { return 0; }
        bool LineGone() override {
            pollfd state{m_read, POLLIN, 0};
            if (m_read >= 0 && ::poll(&state, 1, 0) == 1 && (state.revents & POLLHUP) != 0) {
                m_failure.reason = "mast-12.example.net:4001: connection closed by the server";
                m_failure.lost = true;
                return true;
            }
            return false;
        }
        const PortFailure& Failure() const override { return m_failure; }
        void SetCancelFlag(const std::atomic<int>*) override {}
        SerialHandle NativeHandle() const override { return m_read; }

    private:
        CScriptedLines& m_script;
        int m_read = -1;
        PortFailure m_failure;
    };

    std::mutex m_lock;
    int m_failures = 0;
    int m_hangUp = -1;
};

class ReconnectingWindow : public ILinkOwner {
public:
    void OnLinkStateChanged(LinkState state) override {
        ApplyLinkButtons(state, [this](int id, bool on) { enabled[id] = on; });
    }
    void AppendLog(const std::string& text, bool) override { log.push_back(text); }
    LinkSettings CurrentLinkSettings() const override { return {5, 19200, ""}; }
    std::function<void()> LinkNotifier() override {
        return [this] { notes.Add(); };
    }
    void OnDeviceMessage(const LinkMessage&) override {}
    void PollMeasurement(int action) override { polls.push_back(action); }
    void ShowLinkMessage(const std::string& text) override { boxes.push_back(text); }
    void ReportPortFailure(const PortFailure& failure) override {
        failures.push_back(failure.reason);
    }
    bool AutoReconnect() const override { return reconnect; }
    void SetRetryTimer(unsigned milliseconds) override { timers.push_back(milliseconds); }

    bool reconnect = true;
    std::map<int, bool> enabled;
    std::vector<std::string> log;
    std::vector<int> polls;
    std::vector<std::string> boxes;
    std::vector<std::string> failures;
    std::vector<unsigned> timers;
    CNotifyCounter notes;
};

class ReconnectTest : public testing::Test {
protected:
    void SetUp() override { link.m_context.makePort = lines.Factory(); }

    // Plays the window's loop until the link is in this state (and no notification is left).
    void PumpUntil(LinkState state) {
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (std::chrono::steady_clock::now() < deadline) {
            while (handled < window.notes.Count()) {
                ++handled;
                (void)link.OnCmdMsg(ID_LINK_EVENT);
            }
            if (link.State() == state && !window.notes.WaitFor(handled + 1, 20ms)) {
                return;
            }
        }
        FAIL() << "the link did not get there";
    }

    // Lost while connected: the first wait.
    void ConnectAndLose() {
        ASSERT_TRUE(link.OnCmdMsg(ID_CONNECT));
        PumpUntil(LinkState::Connected);
        window.log.clear();
        lines.LoseLine();
        PumpUntil(LinkState::Reconnecting);
    }

    CScriptedLines lines;
    ReconnectingWindow window;
    CComLink link{window};
    int handled = 0;
};

TEST_F(ReconnectTest, ALostLineIsTriedAgainWithGrowingWaitsUntilItIsBack) {
    ConnectAndLose();
    EXPECT_EQ(window.log, (std::vector<std::string>{
                              "Rozłączono",
                              "Utracono połączenie (mast-12.example.net:4001: connection closed by "
                              "the server); następna próba za 2 s"}));
    EXPECT_TRUE(window.boxes.empty()) << "nobody is asked while the link tries on its own";
    EXPECT_EQ(window.failures.size(), 1u);
    EXPECT_TRUE(window.enabled.at(IDC_DISCONNECT)) << "the tries can be stopped";
    EXPECT_TRUE(window.enabled.at(IDC_CONNECT));
    EXPECT_FALSE(window.enabled.at(IDC_VERSIONS));

    lines.FailNextOpens(5);
    for (int i = 0; i < 5; ++i) {
        link.OnRetryTimer();
        PumpUntil(LinkState::Reconnecting);
    }
    EXPECT_EQ(window.timers, (std::vector<unsigned>{2000, 5000, 10000, 30000, 30000, 30000}));
    ASSERT_EQ(window.log.size(), 7u);
    EXPECT_EQ(window.log[2], "Próba 1 nieudana (mast-12.example.net:4001: Connection refused); "
                             "następna próba za 5 s");
    EXPECT_EQ(window.log[6], "Próba 5 nieudana (mast-12.example.net:4001: Connection refused); "
                             "następna próba za 30 s");

    link.OnRetryTimer();
    PumpUntil(LinkState::Connected);
    EXPECT_EQ(window.log.back(), "Połączono ponownie (próba 6)");
    EXPECT_EQ(window.polls.back(), 1) << "the readout polls again";
    EXPECT_EQ(window.timers.back(), 0u);
    EXPECT_TRUE(window.boxes.empty());
    EXPECT_FALSE(link.Reconnecting());

    // Lost again: the waits start from the beginning.
    window.timers.clear();
    lines.LoseLine();
    PumpUntil(LinkState::Reconnecting);
    EXPECT_EQ(window.timers, std::vector<unsigned>{2000});
    link.OnDisconnect();
}

TEST_F(ReconnectTest, ThePersonPressingAButtonEndsTheTries) {
    struct Case {
        const char* name;
        unsigned button;
        LinkState after;
        const char* logLine;
    };
    const Case cases[] = {
        {"Rozłącz while waiting", ID_DISCONNECT, LinkState::Disconnected,
         "Ponowne łączenie zatrzymane"},
        {"Połącz while waiting", ID_CONNECT, LinkState::Connected, "Połączono"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ConnectAndLose();
        ASSERT_TRUE(link.OnCmdMsg(c.button));
        PumpUntil(c.after);
        EXPECT_EQ(window.log.back(), c.logLine);
        EXPECT_FALSE(link.Reconnecting());
        EXPECT_EQ(window.timers.back(), 0u);
        link.OnRetryTimer(); // a tick the stop overtook changes nothing
        PumpUntil(c.after);
        EXPECT_EQ(window.log.back(), c.logLine);
        if (c.after == LinkState::Connected) {
            link.OnDisconnect();
            PumpUntil(LinkState::Disconnected);
        }
    }

    // Turned off while waiting: the link is disconnected.
    ConnectAndLose();
    window.reconnect = false;
    link.StopReconnecting();
    EXPECT_EQ(link.State(), LinkState::Disconnected);
    EXPECT_FALSE(window.enabled.at(IDC_DISCONNECT));
}

TEST_F(ReconnectTest, WithoutTheOptionOrBeforeAConnectionTheBoxReportsAsBefore) {
    window.reconnect = false;
    ASSERT_TRUE(link.OnCmdMsg(ID_CONNECT));
    PumpUntil(LinkState::Connected);
    lines.LoseLine();
    PumpUntil(LinkState::Disconnected);
    EXPECT_EQ(window.boxes,
              std::vector<std::string>{"Nie można korzystać z wybranego portu.\r\nRozłączono."});
    EXPECT_TRUE(window.timers.empty());

    // A port that cannot be opened at "Połącz" is no lost line, option or not.
    window.reconnect = true;
    lines.FailNextOpens(1);
    ASSERT_TRUE(link.OnCmdMsg(ID_CONNECT));
    PumpUntil(LinkState::Disconnected);
    EXPECT_EQ(window.boxes.size(), 2u);
    EXPECT_TRUE(window.timers.empty());
}

} // namespace
