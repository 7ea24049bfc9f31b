#include "LinePacer.h"

#include <gtest/gtest.h>

#include <cstddef>

using namespace std::chrono_literals;
using Clock = CLinePacer::Clock;

namespace {

// At 50 baud a character takes exactly 200 ms, which keeps the tables readable.
constexpr int kSlowRate = 50;
const Clock::time_point t0{1h};

} // namespace

TEST(LinePacer, LineTimeIsTenBitsPerCharacterRoundedUp) {
    const struct {
        int baudRate;
        std::size_t characters;
        Clock::duration expected;
    } table[] = {
        {kSlowRate, 1, 200ms},
        {19200, 1, 520834ns},   // 520833.3 ns, never shorter than the line
        {19200, 11, 5729167ns}, // a version request
        {19200, 1920, 1s},      // the rate over a second is exact, not 1920 roundings
        {115200, 135, 11718750ns},
        {0, 135, 0ns}, // no pacing
        {-5, 1, 0ns},
    };
    for (const auto& row : table) {
        EXPECT_EQ(CLinePacer(row.baudRate).LineTime(row.characters), row.expected)
            << row.baudRate << " baud, " << row.characters << " characters";
    }
}

TEST(LinePacer, ReceivedCharactersArriveOneCharacterTimeApart) {
    CLinePacer pacer(kSlowRate);
    const struct {
        Clock::duration sent;
        Clock::duration arrival;
    } table[] = {
        {0ms, 200ms},     // a burst handed over at once
        {0ms, 400ms},     //
        {0ms, 600ms},     //
        {300ms, 800ms},   // handed over while the line is busy: queues behind
        {800ms, 1000ms},  // handed over as the last one arrives: still back to back
        {1500ms, 1700ms}, // after a pause: its own line time from when it came
        {1500ms, 1900ms},
    };
    for (const auto& row : table) {
        EXPECT_EQ(pacer.Receive(t0 + row.sent) - t0, row.arrival)
            << "sent at " << (row.sent / 1ms) << " ms";
    }
}

TEST(LinePacer, LongBurstKeepsTheExactRate) {
    CLinePacer pacer(19200);
    Clock::time_point last;
    for (int i = 0; i < 19200; ++i) {
        last = pacer.Receive(t0);
    }
    EXPECT_EQ(last - t0, 10s);
}

TEST(LinePacer, FramesLeaveCharacterByCharacterAndQueueBehindEachOther) {
    CLinePacer pacer(kSlowRate);
    const struct {
        Clock::duration ready;
        std::size_t size;
        Clock::duration start;
    } table[] = {
        {0ms, 3, 0ms},       // the line is free
        {100ms, 2, 600ms},   // behind the 3 characters of the first frame
        {500ms, 1, 1000ms},  // behind both
        {5000ms, 2, 5000ms}, // the line is free again
    };
    for (const auto& row : table) {
        EXPECT_EQ(pacer.Transmit(t0 + row.ready, row.size) - t0, row.start)
            << "ready at " << (row.ready / 1ms) << " ms";
    }
    // The first character is out after one character time, each further one a character later.
    EXPECT_EQ(pacer.Sent(t0, 0) - t0, 200ms);
    EXPECT_EQ(pacer.Sent(t0, 2) - t0, 600ms);

    CLinePacer instant(0);
    EXPECT_EQ(instant.Transmit(t0, 135), t0);
    EXPECT_EQ(instant.Transmit(t0, 135), t0);
    EXPECT_EQ(instant.Sent(t0, 134), t0);
    EXPECT_EQ(instant.Receive(t0), t0);
}
