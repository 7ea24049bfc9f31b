#include "MonitorRows.h"
#include "DeviceCommands.h"
#include "MonitorStats.h"
#include "RowText.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace {

MonitorRow Row(RowKind kind, int command, std::int64_t wallUs) {
    MonitorRow row;
    row.kind = kind;
    row.command = command;
    row.wallUs = wallUs;
    row.check = kind == RowKind::Event || kind == RowKind::Noise ? "" : "poprawna";
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
    MonitorRow brokenPoll = Row(RowKind::FromDevice, CMD_READ_MEASUREMENT, 5);
    brokenPoll.check = "błędna";
    const std::vector<MonitorRow> batch{Row(RowKind::Event, -1, 4), brokenPoll,
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
    std::vector<MonitorRow> flood;
    for (int i = 10; i < 20; ++i) {
        flood.push_back(Row(RowKind::Noise, -1, i));
    }
    EXPECT_EQ(rows.CountVisible(flood), 4u);
    rows.Append(flood);
    EXPECT_EQ(VisibleTimes(rows), (std::vector<std::int64_t>{16, 17, 18, 19}));
    EXPECT_EQ(rows.Dropped(), 2u + 4u + 6u);

    rows.Clear();
    EXPECT_EQ(rows.VisibleCount(), 0u);
    rows.Append({Row(RowKind::Event, -1, 30)});
    EXPECT_EQ(VisibleTimes(rows), (std::vector<std::int64_t>{30}));
}

TEST(MonitorCsv, ReadsBackTheSameRows) {
    std::vector<MonitorRow> rows(4);
    rows[0] = Row(RowKind::ToDevice, CMD_READ_VERSION, 1'765'000'000'123'456);
    rows[0].address = 31;
    rows[0].length = 0;
    rows[1] = Row(RowKind::FromDevice, CMD_TEXT, 1'765'000'000'223'456);
    rows[1].address = 31;
    rows[1].length = 5;
    rows[1].hex = "22 2C 0D 0A 41";
    rows[1].summary = "\"Łąka\", ma\r\nta";
    rows[1].answerUs = 12'345;
    rows[2] = Row(RowKind::Noise, -1, 1'765'000'000'323'456);
    rows[2].hex = "61";
    rows[2].summary = "a";
    rows[2].length = 1;
    rows[3] = Row(RowKind::Event, -1, 1'765'000'000'423'456);
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
        MonitorRow row = Row(RowKind::FromDevice, CMD_READ_MEASUREMENT, 0);
        row.answerUs = ms * 1000 - 500;
        stats.Count(row, false);
    }
    EXPECT_EQ(stats.answers, 100u);
    EXPECT_EQ(stats.MinAnswerUs(), 500);
    EXPECT_EQ(stats.MaxAnswerUs(), 99'500);
    EXPECT_EQ(stats.MeanAnswerUs(), 50'000);
    EXPECT_EQ(stats.Percentile95Us(), 95'000);
}
