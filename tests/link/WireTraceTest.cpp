#include "WireTrace.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <thread>
#include <vector>

namespace {

void RecordIndex(CWireTrace& trace, std::uint32_t index) {
    const std::uint8_t bytes[4] = {
        static_cast<std::uint8_t>(index), static_cast<std::uint8_t>(index >> 8),
        static_cast<std::uint8_t>(index >> 16), static_cast<std::uint8_t>(index >> 24)};
    trace.Record(WireEvent::Received, bytes, sizeof bytes);
}

std::uint32_t IndexOf(const WireRecord& record) {
    return static_cast<std::uint32_t>(record.bytes[0] | (record.bytes[1] << 8) |
                                      (record.bytes[2] << 16) | (record.bytes[3] << 24));
}

std::vector<std::uint32_t> DrainIndices(CWireTrace& trace) {
    std::vector<WireRecord> records;
    (void)trace.Drain(records);
    std::vector<std::uint32_t> indices;
    for (const WireRecord& record : records) {
        indices.push_back(IndexOf(record));
    }
    return indices;
}

} // namespace

TEST(WireTrace, RecordsOnlyOnceListenedToAndKeepsOrderAcrossTheRingsEnd) {
    CWireTrace trace(4);
    RecordIndex(trace, 99);
    EXPECT_FALSE(trace.Listening());
    EXPECT_TRUE(DrainIndices(trace).empty()) << "nothing is kept before anybody listens";

    trace.Listen(true);
    ASSERT_TRUE(trace.Listening());
    for (std::uint32_t i = 0; i < 3; ++i) {
        RecordIndex(trace, i);
    }
    EXPECT_EQ(DrainIndices(trace), (std::vector<std::uint32_t>{0, 1, 2}));
    for (std::uint32_t i = 3; i < 7; ++i) { // slots 3, 0, 1, 2
        RecordIndex(trace, i);
    }
    EXPECT_EQ(DrainIndices(trace), (std::vector<std::uint32_t>{3, 4, 5, 6}));
    EXPECT_EQ(trace.Lost(), 0u);

    // A reader that falls behind loses the newest records, never the order of the rest.
    for (std::uint32_t i = 7; i < 13; ++i) {
        RecordIndex(trace, i);
    }
    EXPECT_EQ(DrainIndices(trace), (std::vector<std::uint32_t>{7, 8, 9, 10}));
    EXPECT_EQ(trace.Lost(), 2u);

    const std::uint8_t big[WireRecord::kMaxBytes + 10] = {};
    trace.Record(WireEvent::Sent, big, sizeof big);
    std::vector<WireRecord> records;
    ASSERT_EQ(trace.Drain(records), 1u);
    EXPECT_EQ(records[0].size, WireRecord::kMaxBytes) << "cut, not overrun";

    trace.Listen(false);
    EXPECT_FALSE(trace.Listening());
}

// One writer and one reader at full speed: the reader sees every record it was not told is
// lost, in order, with times that never go back.
TEST(WireTrace, OneWriterOneReaderLoseNothingUnaccounted) {
    constexpr std::uint32_t kRecords = 50000;
    CWireTrace trace(256);
    trace.Listen(true);
    std::thread writer([&trace] {
        for (std::uint32_t i = 0; i < kRecords; ++i) {
            RecordIndex(trace, i);
        }
    });
    std::vector<WireRecord> records;
    std::size_t taken = 0;
    bool inOrder = true;
    std::int64_t lastTime = 0;
    std::int64_t lastIndex = -1;
    auto check = [&] {
        for (; taken < records.size(); ++taken) {
            const std::int64_t index = IndexOf(records[taken]);
            inOrder = inOrder && index > lastIndex && records[taken].timeUs >= lastTime;
            lastIndex = index;
            lastTime = records[taken].timeUs;
        }
    };
    while (lastIndex + 1 < static_cast<std::int64_t>(kRecords) && taken + trace.Lost() < kRecords) {
        (void)trace.Drain(records);
        check();
    }
    writer.join();
    (void)trace.Drain(records);
    check();
    EXPECT_TRUE(inOrder);
    EXPECT_EQ(records.size() + trace.Lost(), kRecords);
}

// A monitor closed and opened again while records wait finds them all: the ring made at the first
// Listen stays (a worker may still be writing to it), and so does what it holds.
TEST(WireTrace, ListeningAgainKeepsTheRingAndWhatWaitsInIt) {
    CWireTrace trace(8);
    trace.Listen(true);
    for (std::uint32_t i = 1; i <= 3; ++i) {
        RecordIndex(trace, 1000 + i);
    }
    trace.Listen(false);
    RecordIndex(trace, 1004); // a worker that had already looked before the stop
    trace.Listen(true);
    RecordIndex(trace, 1005);
    EXPECT_EQ(DrainIndices(trace), (std::vector<std::uint32_t>{1001, 1002, 1003, 1004, 1005}));
    EXPECT_EQ(trace.Lost(), 0u);
}
