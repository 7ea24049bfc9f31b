#include "LinePort.h"
#include "LinkContext.h"
#include "LinkWorker.h"
#include "NotifyCounter.h"
#include "TestMessages.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// What the scripted line does once its failure starts, and what it tells about it.
struct LineScript {
    bool readsFail = false;  // Read gives -1
    bool writesFail = false; // Write takes nothing
    bool goneAfterFailure = true;
    std::atomic<bool> failing{false}; // set by the test once connected
    std::atomic<bool> failed{false};  // a read or write has failed
    std::atomic<int> reads{0};
};

// A line with nothing to wait on (as a port whose wait cannot be armed): the worker learns of a
// failure only from what Read and Write return.
class CScriptedLine final : public ILinePort {
public:
    explicit CScriptedLine(std::shared_ptr<LineScript> script) : m_script(std::move(script)) {}

    int Open(int port, int) override {
        m_failure.port = port;
        m_failure.device = "scripted";
        return 1;
    }
    int Close() override { return 1; }
    int Write(const void*, int size) override {
        if (m_script->failing && m_script->writesFail) {
            m_script->failed = true;
            return 0;
        }
        return size;
    }
    int Read(void*, int) override {
        ++m_script->reads;
        if (m_script->failing && m_script->readsFail) {
            m_script->failed = true;
            return -1;
        }
        return 0;
    }
    bool LineGone() override {
        if (m_script->failed && m_script->goneAfterFailure) {
            m_failure.reason = "device removed";
            m_failure.lost = true;
        }
        return m_failure.lost;
    }
    const PortFailure& Failure() const override { return m_failure; }
    void SetCancelFlag(const std::atomic<int>*) override {}
    SerialHandle NativeHandle() const override { return kNoSerialHandle; }

private:
    std::shared_ptr<LineScript> m_script;
    PortFailure m_failure;
};

std::vector<int> TakeCommands(LinkContext& context) {
    std::vector<int> commands;
    LinkMessage message;
    while (TakeForWindow(context, message) == 1) {
        commands.push_back(message.command);
    }
    return commands;
}

} // namespace

// A read or write that fails makes the worker ask whether the line has gone, even when the port
// never reports readiness; a gone line ends the link as a port that cannot be used, a failure
// that is not one leaves it up without the worker spinning on the port.
TEST(FailingLine, AFailedReadOrWriteEndsTheLinkOnlyWhenTheLineHasGone) {
    const struct {
        const char* name;
        bool readsFail;
        bool writesFail;
        bool gone;
    } cases[] = {
        {"read fails, line gone", true, false, true},
        {"write fails, line gone", false, true, true},
        {"read fails, line still there", true, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto script = std::make_shared<LineScript>();
        script->readsFail = c.readsFail;
        script->writesFail = c.writesFail;
        script->goneAfterFailure = c.gone;
        LinkContext context;
        context.port = 4;
        CNotifyCounter notes;
        context.notifier = [&notes] { notes.Add(); };
        context.makePort = [script](const std::string&) {
            return std::make_unique<CScriptedLine>(script);
        };
        int result = -1;
        std::thread worker([&] { result = LinkThreadProc(&context); });
        ASSERT_TRUE(notes.WaitFor(2));
        EXPECT_EQ(TakeCommands(context),
                  (std::vector<int>{kLinkEventOpening, kLinkEventConnected}));

        script->failing = true;
        PutForDevice(context, MakeMessage(0x21)); // wakes the worker and makes it write
        const bool ended = notes.WaitFor(3, c.gone ? 3s : 1s);
        if (c.gone) {
            EXPECT_TRUE(ended) << "a gone line must end the link";
        } else {
            EXPECT_FALSE(ended);
            // A port that fails at every read is left out of the waits, not read in a loop.
            const int reads = script->reads;
            std::this_thread::sleep_for(500ms);
            EXPECT_LT(script->reads - reads, 20);
            context.RequestStop();
        }
        worker.join();
        context.running = 0;
        EXPECT_EQ(result, c.gone ? 2 : 0);
        EXPECT_EQ(context.result.load(), result);
        EXPECT_EQ(context.failure.lost, c.gone);
        EXPECT_EQ(context.failure.reason, c.gone ? "device removed" : "");
        EXPECT_EQ(TakeCommands(context).back(), kLinkEventEnded);
    }
}
