#pragma once

#include "DeviceModel.h"
#include "FrameEncoder.h"
#include "FrameParser.h"
#include "LineChannel.h"
#include "LinePacer.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <string_view>

// What happens on the line, beyond what the device answers.
struct LineBehaviour {
    bool silent = false;                // never answer
    std::chrono::milliseconds delay{0}; // between a request and its answer
    std::string text;                   // device text (Windows-1250); none when empty
    std::chrono::milliseconds textPeriod{10000};
    double corruptFraction = 0.0; // share of frames sent with a broken checksum
    std::uint32_t seed = 1;
    int paceBaudRate = 0; // characters take their line time at this rate; 0: no time at all
};

enum class LoopEnd {
    Stopped,    // the stop descriptor became readable
    InputEnded, // the watched input reached its end
    LineFailed, // the line cannot be used any more
};

// Serves the device on the master side of its line: reads requests, hands those with a good
// checksum to the device model, sends the answers (late, broken or not at all as told), and
// sends the device text now and then. With a paced line, characters move in both directions at
// the line's rate instead of all at once. Sleeps on the line until the next thing is due.
class CDeviceLoop {
public:
    using LogFn = std::function<void(std::string_view)>;
    using MemoryFn = std::function<void(const DeviceMemory&)>;

    // log may be empty (quiet); memoryChanged is called after each write the device stored.
    CDeviceLoop(ILineChannel& line, CDeviceModel& device, const LineBehaviour& behaviour, LogFn log,
                MemoryFn memoryChanged);

    // Runs until the line's channel reports a stop or the end of its input.
    LoopEnd Run();

    // Why Run ended with LineFailed.
    const std::string& Failure() const { return m_failure; }

private:
    using Clock = std::chrono::steady_clock;

    struct PendingAnswer {
        Clock::time_point due;
        EncodedFrame frame;
    };

    struct ReceivedCharacter {
        char c;
        Clock::time_point arrival; // when the simulated line has delivered it
    };

    // A frame handed to the outgoing line: its characters leave one by one from start on.
    struct OutgoingFrame {
        Clock::time_point start;
        EncodedFrame frame;
        std::size_t written = 0;
        bool text = false;
    };

    // Answers waiting for their delay or for the line: a device has a small buffer, not an
    // endless one.
    static constexpr std::size_t kMaxPendingAnswers = 16;
    // Characters read but not yet delivered by the simulated line; a terminal that writes
    // faster than the line finds the line full, as behind a real port.
    static constexpr std::size_t kInputCapacity = 1024;

    bool ReadLine(Clock::time_point now);
    void TakeArrived(Clock::time_point now);
    void OnFrame(Clock::time_point arrival, Clock::time_point now);
    void SendDue(Clock::time_point now);
    void Send(EncodedFrame frame, const char* what, Clock::time_point now, bool text = false);
    void WriteDue(Clock::time_point now);
    std::optional<Clock::time_point> NextDue() const;
    void Log(const std::string& text) const;

    ILineChannel& m_line;
    CDeviceModel& m_device;
    LineBehaviour m_behaviour;
    LogFn m_log;
    MemoryFn m_memoryChanged;
    std::uint8_t m_rxStore[FrameParser::kCapacity] = {};
    FrameParser m_parser;
    std::deque<PendingAnswer> m_pending;
    CLinePacer m_pacer;
    std::deque<ReceivedCharacter> m_received;
    std::deque<OutgoingFrame> m_outgoing;
    Clock::time_point m_nextText;
    std::mt19937 m_corruption;
    std::string m_failure;
};
