#include "LineMonitor.h"
#include "DeviceCommands.h"
#include "FrameEncoder.h"
#include "RowDecoder.h"
#include "RowText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

WireRecord Record(WireEvent event, std::int64_t timeUs, const std::vector<std::uint8_t>& bytes,
                  FrameDrop drop = FrameDrop::None) {
    WireRecord record;
    record.timeUs = timeUs;
    record.event = event;
    record.drop = drop;
    record.size = static_cast<std::uint8_t>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), record.bytes);
    return record;
}

// A frame as the parser hands it on: length byte, address, command, payload, checksum.
std::vector<std::uint8_t> Decoded(std::uint8_t command, const std::vector<std::uint8_t>& payload,
                                  std::uint8_t address = 31) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(payload.size() + 4);
    bytes.push_back(static_cast<std::uint8_t>(payload.size() + 3));
    bytes.push_back(address);
    bytes.push_back(command);
    for (const std::uint8_t byte : payload) {
        bytes.push_back(byte);
    }
    std::uint8_t sum = 0;
    for (const std::uint8_t byte : bytes) {
        sum = static_cast<std::uint8_t>(sum + byte);
    }
    bytes.push_back(static_cast<std::uint8_t>(0x100 - sum));
    return bytes;
}

// The wire text the worker hands to the port for this request.
WireRecord Sent(std::int64_t timeUs, std::uint8_t command,
                const std::vector<std::uint8_t>& payload) {
    LinkMessage message;
    message.address = 31;
    message.command = command;
    message.length = static_cast<std::uint8_t>(payload.size());
    std::copy(payload.begin(), payload.end(), message.payload);
    EncodedFrame frame;
    EXPECT_TRUE(FrameEncoder::Encode(message, frame));
    return Record(WireEvent::Sent, timeUs, {frame.text, frame.text + frame.size});
}

std::vector<std::uint8_t> Text(const std::string& text) {
    return {text.begin(), text.end()};
}

std::int64_t FixedClock() {
    return 5'000'000;
}

} // namespace

TEST(RowDecoder, EveryCommandDeviceTextNoiseAndBrokenFrames) {
    const std::vector<std::uint8_t> reading{0x7B, 0x00, 0, 0, 0, 0, 0x08, 0};
    const std::vector<std::uint8_t> negative{0x85, 0xFF, 0, 0, 0, 0, 0x18, 0}; // -12.3
    const std::vector<std::uint8_t> clock{6, 5, 4, 3, 2, 0xEF, 0x07};          // 2031-02-03
    std::vector<std::uint8_t> version = Text("?QAL-1P");
    version[0] = 3;
    const struct {
        WireRecord record;
        RowKind kind;
        std::string command;
        int length;
        std::string summary;
        std::string check;
    } cases[] = {
        {Sent(1, CMD_READ_MEASUREMENT, {0, 0, 0}), RowKind::ToDevice, "22h Odczyt pomiaru", 3, "",
         "poprawna"},
        {Record(WireEvent::Frame, 1, Decoded(CMD_READ_MEASUREMENT, reading)), RowKind::FromDevice,
         "22h Odczyt pomiaru", 8, "12.3 m/s, stan 08h", "poprawna"},
        {Record(WireEvent::Frame, 1, Decoded(CMD_READ_MEASUREMENT, negative)), RowKind::FromDevice,
         "22h Odczyt pomiaru", 8, "-12.3 m/s, stan 18h", "poprawna"},
        {Sent(1, CMD_READ_VERSION, {}), RowKind::ToDevice, "21h Odczyt wersji", 0, "", "poprawna"},
        {Record(WireEvent::Frame, 1, Decoded(CMD_READ_VERSION, version)), RowKind::FromDevice,
         "21h Odczyt wersji", 7, "QAL-1P, wersja 3", "poprawna"},
        {Record(WireEvent::Frame, 1, Decoded(CMD_READ_TIME, clock)), RowKind::FromDevice,
         "2Bh Odczyt czasu", 7, "2031-02-03 04:05:06", "poprawna"},
        {Sent(1, CMD_WRITE_TIME, clock), RowKind::ToDevice, "2Ch Zapis czasu", 7,
         "2031-02-03 04:05:06", "poprawna"},
        {Sent(1, CMD_READ_CONFIG, {}), RowKind::ToDevice, "24h Odczyt konfiguracji", 0, "",
         "poprawna"},
        {Sent(1, CMD_WRITE_CONFIG, std::vector<std::uint8_t>(39)), RowKind::ToDevice,
         "23h Zapis konfiguracji", 39, "", "poprawna"},
        {Sent(1, CMD_READ_ALARMS, {}), RowKind::ToDevice, "26h Odczyt danych alarmów", 0, "",
         "poprawna"},
        {Sent(1, CMD_WRITE_ALARMS, std::vector<std::uint8_t>(20)), RowKind::ToDevice,
         "25h Zapis danych alarmów", 20, "", "poprawna"},
        {Sent(1, CMD_READ_READER, {}), RowKind::ToDevice, "2Ah Odczyt danych czytnika", 0, "",
         "poprawna"},
        {Sent(1, CMD_WRITE_READER, std::vector<std::uint8_t>(26)), RowKind::ToDevice,
         "29h Zapis danych czytnika", 26, "", "poprawna"},
        // Windows-1250 "Łąka", up to the zero byte.
        {Record(WireEvent::Frame, 1, Decoded(CMD_TEXT, {0xA3, 0xB9, 'k', 'a', 0, 'x'})),
         RowKind::FromDevice, "A0h Tekst urządzenia", 6, "Łąka", "poprawna"},
        {Record(WireEvent::Frame, 1, Decoded(0x77, {1})), RowKind::FromDevice, "77h", 1, "",
         "poprawna"},
        {Record(WireEvent::Dropped, 1, Text("ab\x01"), FrameDrop::Noise), RowKind::Noise, "szum", 3,
         "ab.", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command + " " + c.summary);
        const std::optional<MonitorRow> row = DecodeWireRecord(c.record, 0);
        ASSERT_TRUE(row.has_value());
        EXPECT_EQ(row->kind, c.kind);
        EXPECT_EQ(CellText(*row, kColumnCommand), c.command);
        EXPECT_EQ(row->length, c.length);
        EXPECT_EQ(row->summary, c.summary);
        EXPECT_EQ(row->check, c.check);
        EXPECT_EQ(row->address, c.kind == RowKind::Noise ? -1 : 31);
    }

    // A frame with a wrong checksum still shows what it carried; a broken one its bytes so far.
    std::vector<std::uint8_t> bad = Decoded(CMD_READ_MEASUREMENT, reading);
    bad.back() ^= 1;
    std::optional<MonitorRow> row =
        DecodeWireRecord(Record(WireEvent::Dropped, 1, bad, FrameDrop::BadChecksum), 0);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->check, "błędna");
    EXPECT_EQ(row->hex, "7B 00 00 00 00 00 08 00");
    EXPECT_EQ(row->summary, "12.3 m/s, stan 08h");
    row = DecodeWireRecord(Record(WireEvent::Dropped, 1, {0x0B, 31}, FrameDrop::Interrupted), 0);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->check, "przerwana przez ':'");
    EXPECT_EQ(row->hex, "0B 1F");
    EXPECT_EQ(row->command, -1);
    // Raw reads come again as frames and noise.
    EXPECT_FALSE(DecodeWireRecord(Record(WireEvent::Received, 1, Text(":0A")), 0));
}

TEST(LineMonitor, MergesEventsByTimeTimesAnswersAndCountsSinceConnect) {
    CLineMonitor monitor(&FixedClock, 1'000'000'000);
    const std::vector<std::uint8_t> reading{0x7B, 0x00, 0, 0, 0, 0, 0x08, 0};
    std::vector<std::uint8_t> bad = Decoded(CMD_READ_MEASUREMENT, reading);
    bad.back() ^= 1;
    monitor.OnLineEvent(LineEvent::Timeout, "Brak odpowiedzi"); // at 5 s: after the records
    std::vector<WireRecord> records{
        Sent(1'000'000, CMD_READ_MEASUREMENT, {0, 0, 0}),
        Record(WireEvent::Frame, 1'020'000, Decoded(CMD_READ_MEASUREMENT, reading)),
        Record(WireEvent::Frame, 1'500'000, Decoded(CMD_TEXT, Text("hej"))),
        Sent(2'000'000, CMD_READ_MEASUREMENT, {0, 0, 0}),
        Record(WireEvent::Frame, 2'010'000, Decoded(CMD_TEXT, Text("hej"))), // no answer
        Record(WireEvent::Frame, 2'040'000, Decoded(CMD_READ_MEASUREMENT, reading)),
        Record(WireEvent::Dropped, 2'500'000, Text("xyz"), FrameDrop::Noise),
        Sent(3'000'000, CMD_READ_MEASUREMENT, {0, 0, 0}),
        Record(WireEvent::Dropped, 3'010'000, bad, FrameDrop::BadChecksum),
        Record(WireEvent::Frame, 4'000'000, Decoded(CMD_READ_MEASUREMENT, reading)), // late
    };
    std::vector<MonitorRow> rows;
    for (const MonitorRecord& record : monitor.Take(records)) {
        rows.push_back(DecodeRecord(record));
    }
    EXPECT_TRUE(records.empty());
    std::vector<std::int64_t> answers;
    for (const MonitorRow& row : rows) {
        answers.push_back(row.answerUs);
    }
    // The answer to the first request that came at all; texts and broken frames are none.
    EXPECT_EQ(answers, (std::vector<std::int64_t>{-1, 20'000, -1, -1, -1, 40'000, -1, -1, -1,
                                                  1'000'000, -1}));
    EXPECT_EQ(rows.front().wallUs, 1'001'000'000);
    // The event, stamped after every record, comes last.
    EXPECT_EQ(rows.back().kind, RowKind::Event);
    EXPECT_EQ(rows.back().summary, "Brak odpowiedzi");
    EXPECT_EQ(rows.back().wallUs, 1'005'000'000);

    const CMonitorStats& stats = monitor.Stats();
    EXPECT_EQ(stats.requests, 3u);
    EXPECT_EQ(stats.answers, 3u);
    EXPECT_EQ(stats.timeouts, 1u);
    EXPECT_EQ(stats.deviceTexts, 2u);
    EXPECT_EQ(stats.badChecksums, 1u);
    EXPECT_EQ(stats.noiseBytes, 3u);
    EXPECT_EQ(stats.MinAnswerUs(), 20'000);
    EXPECT_EQ(stats.MaxAnswerUs(), 1'000'000);
    EXPECT_EQ(stats.MeanAnswerUs(), 353'333);
    EXPECT_EQ(stats.Percentile95Us(), 1'000'000);

    // A connect starts the figures again.
    monitor.OnLineEvent(LineEvent::Connected, "Połączono");
    EXPECT_EQ(monitor.Take(records).size(), 1u);
    EXPECT_EQ(monitor.Stats().requests, 0u);
    EXPECT_EQ(monitor.Stats().timeouts, 0u);
    EXPECT_EQ(monitor.Stats().AnswerCount(), 0u);
}

// Each count takes only its own kind of row: broken frames are no bad checksums and no answers,
// only a time-out is one, and a request whose link ended or started again gets no answer time.
TEST(LineMonitor, CountsEachKindOfRowOnlyAsItself) {
    const std::vector<std::uint8_t> reading{0x7B, 0x00, 0, 0, 0, 0, 0x08, 0};
    std::vector<std::uint8_t> bad = Decoded(CMD_READ_MEASUREMENT, reading);
    bad.back() ^= 1;
    const WireRecord request = Sent(1'000'000, CMD_READ_MEASUREMENT, {0, 0, 0});
    const WireRecord answer =
        Record(WireEvent::Frame, 6'000'000, Decoded(CMD_READ_MEASUREMENT, reading));
    struct Step {
        std::vector<WireRecord> records; // taken first
        std::vector<LineEvent> events;   // then these, stamped after the records
    };
    struct Counts {
        std::uint64_t requests, answers, timeouts, badChecksums, noiseBytes, timed;
    };
    const auto dropped = [&](FrameDrop drop) {
        return Step{{Record(WireEvent::Dropped, 1'010'000, {0x0B, 31, 0xA0}, drop)}, {}};
    };
    const struct {
        const char* name;
        std::vector<Step> steps;
        Counts expected;
    } cases[] = {
        {"bad checksum",
         {{{Record(WireEvent::Dropped, 1'010'000, bad, FrameDrop::BadChecksum)}, {}}},
         {0, 0, 0, 1, 0, 0}},
        {"broken by a non-hex character", {dropped(FrameDrop::Broken)}, {0, 0, 0, 0, 0, 0}},
        {"interrupted by ':'", {dropped(FrameDrop::Interrupted)}, {0, 0, 0, 0, 0, 0}},
        {"too long", {dropped(FrameDrop::TooLong)}, {0, 0, 0, 0, 0, 0}},
        {"too short", {dropped(FrameDrop::TooShort)}, {0, 0, 0, 0, 0, 0}},
        {"noise",
         {{{Record(WireEvent::Dropped, 1, Text("ab"), FrameDrop::Noise)}, {}}},
         {0, 0, 0, 0, 2, 0}},
        {"time-out", {{{request}, {LineEvent::Timeout}}}, {1, 0, 1, 0, 0, 0}},
        {"ended", {{{request}, {LineEvent::Ended}}}, {1, 0, 0, 0, 0, 0}},
        {"port failure", {{{request}, {LineEvent::PortFailure}}}, {1, 0, 0, 0, 0, 0}},
        {"opening", {{{}, {LineEvent::Opening}}}, {0, 0, 0, 0, 0, 0}},
        {"answered", {{{request, answer}, {}}}, {1, 1, 0, 0, 0, 1}},
        {"answer after the link ended",
         {{{request}, {LineEvent::Ended}}, {{answer}, {}}},
         {1, 1, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CLineMonitor monitor(&FixedClock, 0);
        for (Step step : c.steps) {
            for (const LineEvent event : step.events) {
                monitor.OnLineEvent(event, "zdarzenie");
            }
            (void)monitor.Take(step.records);
        }
        const CMonitorStats& stats = monitor.Stats();
        EXPECT_EQ(stats.requests, c.expected.requests);
        EXPECT_EQ(stats.answers, c.expected.answers);
        EXPECT_EQ(stats.timeouts, c.expected.timeouts);
        EXPECT_EQ(stats.badChecksums, c.expected.badChecksums);
        EXPECT_EQ(stats.noiseBytes, c.expected.noiseBytes);
        EXPECT_EQ(stats.AnswerCount(), c.expected.timed);
    }
}
