#include "DeviceCommands.h"
#include "DeviceLoop.h"
#include "FrameEncoder.h"
#include "LineChannel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// One wake-up of the loop and, when the line is readable, what the next read gives.
struct Step {
    LineWake wake;
    std::string data; // read when wake.lineReadable
    bool gone = false;
};

// A line played from a script, so that the loop's answers to each wake-up show without a system
// line; once the script ends, a stop.
class CScriptedChannel final : public ILineChannel {
public:
    CScriptedChannel(std::vector<Step> steps, bool takesWrites)
        : m_steps(std::move(steps)), m_bTakesWrites(takesWrites) {}

    LineWake Wait(bool, std::optional<Clock::time_point>) override {
        if (m_next >= m_steps.size()) {
            LineWake stop;
            stop.stop = true;
            return stop;
        }
        return m_steps[m_next++].wake;
    }
    LineRead Read(char* buffer, std::size_t size) override {
        const Step& step = m_steps[m_next - 1];
        LineRead read;
        if (step.gone) {
            read.outcome = LineRead::Gone;
            read.failure = "reset by the far end";
            return read;
        }
        read.outcome = LineRead::Data;
        read.size = std::min(size, step.data.size());
        step.data.copy(buffer, read.size);
        return read;
    }
    bool Write(const char* data, std::size_t size) override {
        ++m_writes;
        if (m_bTakesWrites) {
            m_written.append(data, size);
        }
        return m_bTakesWrites;
    }

    int Writes() const { return m_writes; }
    const std::string& Written() const { return m_written; }

private:
    std::vector<Step> m_steps;
    std::size_t m_next = 0;
    bool m_bTakesWrites;
    int m_writes = 0;
    std::string m_written;
};

std::string VersionRequest() {
    LinkMessage request;
    request.address = kDefaultDeviceAddress;
    request.command = CMD_READ_VERSION;
    request.length = 0;
    EncodedFrame frame;
    EXPECT_TRUE(FrameEncoder::Encode(request, frame));
    return std::string(frame.text, frame.size);
}

Step Readable(std::string data) {
    Step step;
    step.wake.lineReadable = true;
    step.data = std::move(data);
    return step;
}

} // namespace

TEST(DeviceLoopChannel, EachWakeUpEndsOrServesAsItSays) {
    const std::string request = VersionRequest();
    Step gone;
    gone.wake.lineReadable = true;
    gone.gone = true;
    Step inputEnded;
    inputEnded.wake.inputEnded = true;
    Step waitFailed;
    waitFailed.wake.failed = true;
    waitFailed.wake.failure = "wait failed: bad handle";
    Step timeout; // nothing happened: the loop sleeps again

    const struct {
        const char* name;
        std::vector<Step> steps;
        bool takesWrites;
        LoopEnd end;
        int answers; // frames written whole
        const char* failure;
    } table[] = {
        {"answered, then stopped", {Readable(request)}, true, LoopEnd::Stopped, 1, ""},
        {"a request in two reads",
         {Readable(request.substr(0, 5)), timeout, Readable(request.substr(5))},
         true,
         LoopEnd::Stopped,
         1,
         ""},
        {"two requests in one read", {Readable(request + request)}, true, LoopEnd::Stopped, 2, ""},
        {"the client goes",
         {Readable(request), gone},
         true,
         LoopEnd::LineFailed,
         1,
         "reset by the far end"},
        {"the input ends first", {inputEnded, Readable(request)}, true, LoopEnd::InputEnded, 0, ""},
        {"the wait fails", {waitFailed}, true, LoopEnd::LineFailed, 0, "wait failed: bad handle"},
        // A full line loses the frame as a wire would, and the device goes on.
        {"a full line", {Readable(request), Readable(request)}, false, LoopEnd::Stopped, 0, ""},
    };
    for (const auto& row : table) {
        CDeviceModel model(DeviceBehaviour{}, DefaultDeviceMemory(WallClock::now()));
        CScriptedChannel channel(row.steps, row.takesWrites);
        CDeviceLoop loop(channel, model, LineBehaviour{}, {}, {});
        EXPECT_EQ(loop.Run(), row.end) << row.name;
        EXPECT_EQ(loop.Failure(), row.failure) << row.name;
        if (row.takesWrites) {
            EXPECT_EQ(channel.Writes(), row.answers) << row.name;
        } else {
            // Each answer was offered once, never retried behind a line that refused it.
            EXPECT_EQ(channel.Writes(), 2) << row.name;
            EXPECT_TRUE(channel.Written().empty()) << row.name;
        }
    }
}
