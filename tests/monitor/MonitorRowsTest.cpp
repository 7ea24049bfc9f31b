#include "MonitorRows.h"
#include "DeviceCommands.h"
#include "FileError.h"
#include "MonitorFile.h"
#include "MonitorStats.h"
#include "OddFiles.h"
#include "RowDecoder.h"
#include "RowText.h"
#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

MonitorRecord Row(RowKind kind, int command, std::int64_t wallUs) {
    MonitorRecord row;
    row.kind = kind;
    row.wallUs = wallUs;
    if (command >= 0) {
        row.bytes = {3, 31, static_cast<char>(command), 0};
    }
    return row;
}

std::vector<std::int64_t> VisibleTimes(const CMonitorRows& rows) {
    std::vector<std::int64_t> times;
    for (std::size_t i = 0; i < rows.VisibleCount(); ++i) {
        times.push_back(rows.Visible(i).wallUs);
    }
    return times;
}

} // namespace

TEST(MonitorRows, BoundPauseAndPollFilter) {
    CMonitorRows rows(4);
    rows.Append({Row(RowKind::ToDevice, CMD_READ_MEASUREMENT, 1),
                 Row(RowKind::FromDevice, CMD_READ_MEASUREMENT, 2),
                 Row(RowKind::ToDevice, CMD_READ_VERSION, 3)});
    EXPECT_EQ(rows.OverflowFor(3), 2u);
    EXPECT_EQ(rows.VisibleAmongFirst(2), 2u);

    rows.SetHidePolls(true);
    EXPECT_EQ(VisibleTimes(rows), (std::vector<std::int64_t>{3}));
    MonitorRecord brokenPoll = Row(RowKind::FromDevice, CMD_READ_MEASUREMENT, 5);
    brokenPoll.drop = FrameDrop::BadChecksum;
    const std::vector<MonitorRecord> batch{Row(RowKind::Event, -1, 4), brokenPoll,
                                           Row(RowKind::ToDevice, CMD_READ_MEASUREMENT, 6)};
    EXPECT_EQ(rows.CountVisible(batch), 2u) << "a broken poll stays in view";
    rows.Append(batch);
    EXPECT_EQ(rows.Count(), 4u);
    EXPECT_EQ(rows.Dropped(), 2u);
    EXPECT_EQ(VisibleTimes(rows), (std::vector<std::int64_t>{3, 4, 5}));
    rows.SetHidePolls(false);
    EXPECT_EQ(VisibleTimes(rows), (std::vector<std::int64_t>{3, 4, 5, 6}));

    // Paused: counted, not kept.
    rows.SetPaused(true);
    rows.Append(batch);
    EXPECT_EQ(rows.HeldBack(), 3u);
    EXPECT_EQ(VisibleTimes(rows), (std::vector<std::int64_t>{3, 4, 5, 6}));
    rows.SetPaused(false);

    // A batch larger than the store keeps its newest rows.
    std::vector<MonitorRecord> flood;
    for (int i = 10; i < 20; ++i) {
        flood.push_back(Row(RowKind::Noise, -1, i));
    }
    EXPECT_EQ(rows.CountVisible(flood), 4u);
    rows.Append(flood);
    EXPECT_EQ(VisibleTimes(rows), (std::vector<std::int64_t>{16, 17, 18, 19}));
    EXPECT_EQ(rows.Dropped(), 2u + 4u + 6u);

    // A large store makes room a hundredth at a time.
    CMonitorRows large(300);
    std::vector<MonitorRecord> full(300, Row(RowKind::Noise, -1, 40));
    large.Append(full);
    EXPECT_EQ(large.OverflowFor(1), 3u);
    large.Append({Row(RowKind::Noise, -1, 41)});
    EXPECT_EQ(large.Count(), 298u);
    EXPECT_EQ(large.Dropped(), 3u);
    EXPECT_EQ(large.OverflowFor(2), 0u);

    // "Wyczyść" starts every count of the table again.
    rows.SetPaused(true);
    rows.Append(batch);
    rows.SetPaused(false);
    ASSERT_NE(rows.Dropped(), 0u);
    ASSERT_NE(rows.HeldBack(), 0u);
    rows.Clear();
    EXPECT_EQ(rows.VisibleCount(), 0u);
    EXPECT_EQ(rows.Dropped(), 0u);
    EXPECT_EQ(rows.HeldBack(), 0u);
    rows.Append({Row(RowKind::Event, -1, 30)});
    EXPECT_EQ(VisibleTimes(rows), (std::vector<std::int64_t>{30}));
}

TEST(MonitorCsv, ReadsBackTheSameRows) {
    std::vector<MonitorRow> rows(4);
    rows[0] = DecodeRecord(Row(RowKind::ToDevice, CMD_READ_VERSION, 1'765'000'000'123'456));
    rows[0].address = 31;
    rows[0].length = 0;
    rows[1] = DecodeRecord(Row(RowKind::FromDevice, CMD_TEXT, 1'765'000'000'223'456));
    rows[1].address = 31;
    rows[1].length = 5;
    rows[1].hex = "22 2C 0D 0A 41";
    rows[1].summary = "\"Łąka\", ma\r\nta";
    rows[1].answerUs = 12'345;
    rows[2] = DecodeRecord(Row(RowKind::Noise, -1, 1'765'000'000'323'456));
    rows[2].hex = "61";
    rows[2].summary = "a";
    rows[2].length = 1;
    rows[3] = DecodeRecord(Row(RowKind::Event, -1, 1'765'000'000'423'456));
    rows[3].summary = "Otwieranie portu COM1 , 19200b/s...";

    std::stringstream file;
    WriteCsv(file, rows);
    std::string error;
    const std::optional<std::vector<MonitorRow>> read = ReadCsv(file, error);
    ASSERT_TRUE(read) << error;
    EXPECT_EQ(*read, rows);

    for (const char* broken : {"", "a,b\r\n", "czas_us,odpowiedz_us,1,2,3,4,5,6,7,8,9\r\nx\r\n"}) {
        std::stringstream in(broken);
        EXPECT_FALSE(ReadCsv(in, error)) << broken;
    }
}

TEST(MonitorStats, PercentileOfAnswerTimes) {
    CMonitorStats stats;
    for (int ms = 1; ms <= 100; ++ms) {
        MonitorRecord row = Row(RowKind::FromDevice, CMD_READ_MEASUREMENT, 0);
        row.answerUs = ms * 1000 - 500;
        stats.Count(row, false);
    }
    EXPECT_EQ(stats.answers, 100u);
    EXPECT_EQ(stats.MinAnswerUs(), 500);
    EXPECT_EQ(stats.MaxAnswerUs(), 99'500);
    EXPECT_EQ(stats.MeanAnswerUs(), 50'000);
    EXPECT_EQ(stats.Percentile95Us(), 95'000);
}

// The store keeps rows as they came and makes their texts when asked: what it gives back, after
// the oldest rows went and with rows of every size, is what decoding the same records gives.
TEST(MonitorRows, GiveBackTheRowsTheirRecordsDecodeTo) {
    auto wire = [](WireEvent event, FrameDrop drop, std::vector<std::uint8_t> bytes) {
        WireRecord record;
        record.event = event;
        record.drop = drop;
        record.size = static_cast<std::uint8_t>(bytes.size());
        std::copy(bytes.begin(), bytes.end(), record.bytes);
        return record;
    };
    const std::string sent = "\n\r:0A1F22000000BA";
    const std::vector<WireRecord> records{
        wire(WireEvent::Sent, FrameDrop::None, {sent.begin(), sent.end()}),
        wire(WireEvent::Frame, FrameDrop::None, {0x0B, 31, 0x22, 0x7B, 0, 0, 0, 0, 0, 8, 0, 0x2E}),
        wire(WireEvent::Dropped, FrameDrop::BadChecksum, {0x04, 31, 0xA0, 0xA3, 0x00}),
        wire(WireEvent::Dropped, FrameDrop::Interrupted, {0x0B, 31}),
        wire(WireEvent::Dropped, FrameDrop::Noise, std::vector<std::uint8_t>(64, 'x')),
        wire(WireEvent::Frame, FrameDrop::None, {}),
    };
    CMonitorRows store(5);
    std::vector<MonitorRecord> kept;
    for (int round = 0; round < 3; ++round) {
        std::vector<MonitorRecord> batch;
        for (std::size_t i = 0; i < records.size(); ++i) {
            std::optional<MonitorRecord> record =
                RecordOfWire(records[i], round * 100 + static_cast<std::int64_t>(i));
            ASSERT_TRUE(record);
            batch.push_back(*record);
        }
        MonitorRecord event;
        event.bytes = round == 2 ? "Błąd portu: " + std::string(300, 'e') : "";
        batch.push_back(event);
        store.Append({batch.begin(), batch.begin() + 4});
        store.Append({batch.begin() + 4, batch.end()});
        kept.insert(kept.end(), batch.begin(), batch.end());
    }
    ASSERT_EQ(store.Count(), 5u);
    EXPECT_EQ(store.Dropped(), kept.size() - 5);
    kept.erase(kept.begin(), kept.end() - 5);
    std::vector<MonitorRow> expected;
    std::vector<MonitorRow> given;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        EXPECT_EQ(store.RecordAt(i), kept[i]) << i;
        expected.push_back(DecodeRecord(kept[i]));
        given.push_back(store.Visible(i));
    }
    EXPECT_EQ(given, expected);
    std::stringstream expectedCsv;
    std::stringstream givenCsv;
    WriteCsv(expectedCsv, expected);
    WriteCsvHeading(givenCsv);
    for (std::size_t i = 0; i < store.Count(); ++i) {
        WriteCsvRow(givenCsv, store.At(i));
    }
    EXPECT_EQ(givenCsv.str(), expectedCsv.str());
}

// "Zapisz…" writes every row kept, the hidden polls too: text, or CSV that reads back as the
// rows; and only over a regular file or none.
TEST(MonitorFile, SavesEveryRowAsTextOrCsvOnlyToARegularFile) {
    CMonitorRows rows;
    rows.Append({Row(RowKind::ToDevice, CMD_READ_MEASUREMENT, 1'000'000),
                 Row(RowKind::FromDevice, CMD_READ_MEASUREMENT, 1'020'000),
                 Row(RowKind::ToDevice, CMD_READ_VERSION, 2'000'000)});
    rows.SetHidePolls(true);
    CTempDirectory dir("qal-monitor-file");
    std::error_code error;

    const std::string csv = dir.Join("wiersze.CSV");
    ASSERT_TRUE(SaveMonitorRows(rows, csv, error)) << error.message();
    std::ifstream csvIn(csv, std::ios::binary);
    std::string csvError;
    const auto read = ReadCsv(csvIn, csvError);
    ASSERT_TRUE(read) << csvError;
    ASSERT_EQ(read->size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(RowLine((*read)[i]), RowLine(rows.At(i))) << i;
    }

    const std::string text = dir.Join("wiersze.txt");
    ASSERT_TRUE(SaveMonitorRows(rows, text, error)) << error.message();
    std::ifstream textIn(text, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(textIn, line);) {
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].rfind(std::string(ColumnTitle(0)) + "\t", 0), 0u) << lines[0];
    EXPECT_EQ(lines[3], RowLine(rows.At(2)));

    for (const OddFile kind : kAllOddFiles) {
        SCOPED_TRACE(OddFileName(kind));
        const std::string odd = dir.Join(std::string(OddFileName(kind)) + ".csv");
        std::string why;
        if (!MakeOddFile(kind, odd, why)) {
            std::cout << "skipped: " << why << "\n";
            continue;
        }
        const auto type = std::filesystem::status(odd).type();
        EXPECT_FALSE(SaveMonitorRows(rows, odd, error));
        EXPECT_EQ(FileReasonText(error),
                  kind == OddFile::Folder ? "To jest katalog" : "To nie jest zwykły plik");
        EXPECT_EQ(std::filesystem::status(odd).type(), type);
    }
}
