#include "TrendRing.h"
#include "TrendStatistics.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

ReadingSample Speed(int tenths, std::uint16_t number = 0) {
    ReadingSample reading;
    reading.readingNo = number;
    reading.speedTenths = static_cast<std::int16_t>(tenths);
    return reading;
}

// A ring from a script: each entry a speed in tenths at its time, or a gap (speed kGap).
constexpr int kGap = 1 << 20;
struct At {
    std::int64_t ms;
    int tenths;
};
CTrendRing RingOf(const std::vector<At>& points) {
    CTrendRing ring(1000);
    for (const At& p : points) {
        if (p.tenths == kGap) {
            ring.AddGap(p.ms);
        } else {
            ring.AddReading(p.ms, Speed(p.tenths));
        }
    }
    return ring;
}

TEST(TrendRing, KeepsTheNewestDayAndOneGapPerRun) {
    CTrendRing ring(5);
    ring.AddGap(0); // nothing to break yet
    EXPECT_TRUE(ring.Empty());
    for (int i = 0; i < 7; ++i) {
        ring.AddReading(i * 1000, Speed(i, static_cast<std::uint16_t>(i)));
    }
    ring.AddGap(7000);
    ring.AddGap(8000); // the same run of missing readings
    ASSERT_EQ(ring.Size(), 5u);
    std::vector<int> kept;
    for (std::size_t i = 0; i < ring.Size(); ++i) {
        kept.push_back(ring[i].gap ? -1 : ring[i].reading.readingNo);
    }
    EXPECT_EQ(kept, (std::vector<int>{3, 4, 5, 6, -1}));
    EXPECT_EQ(CTrendRing().Capacity(), 86400u);
}

TEST(TrendRing, SpanSelectsTheNewestPointsWithinIt) {
    const CTrendRing ring = RingOf({{0, 1}, {30'000, 2}, {59'000, kGap}, {60'000, 3}, {61'000, 4}});
    const struct {
        std::int64_t spanMs;
        std::int64_t endMs;
        std::size_t first;
    } cases[] = {
        {60'000, 61'000, 1},  {61'000, 61'000, 0}, {1'000, 61'000, 3},
        {600'000, 61'000, 0}, {500, 70'000, 5}, // nothing in the last half second
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ring.FirstWithin(c.spanMs, c.endMs), c.first) << c.spanMs << " " << c.endMs;
    }
}

TEST(TrendStatistics, MinimumMeanMaximumAndGust) {
    const struct {
        const char* name;
        std::vector<At> points;
        std::size_t readings;
        double minimum, mean, maximum;
        bool hasGust;
        double gust;
        std::int64_t gustStart, gustEnd;
    } cases[] = {
        {"empty", {}, 0, 0, 0, 0, false, 0, 0, 0},
        {"single reading", {{0, 55}}, 1, 5.5, 5.5, 5.5, false, 0, 0, 0},
        {"two readings are no 3 s window", {{0, 10}, {1000, 20}}, 2, 1, 1.5, 2, false, 0, 0, 0},
        {"steady second readings",
         {{0, 10}, {1000, 20}, {2000, 60}, {3000, 40}, {4000, 10}},
         5,
         1,
         2.8,
         6,
         true,
         4,
         1000,
         3000},
        {"a gap splits the windows",
         {{0, 10}, {1000, 90}, {2000, kGap}, {2500, 90}, {3500, 10}, {4500, 10}},
         5,
         1,
         4.2,
         9,
         true,
         3.667,
         2500,
         4500},
        {"only short runs between gaps",
         {{0, 90}, {1000, 90}, {1500, kGap}, {2000, 10}},
         3,
         1,
         6.333,
         9,
         false,
         0,
         0,
         0},
        {"a reading 3 s back is outside the window",
         {{0, 300}, {3000, 10}, {4000, 10}, {5000, 10}},
         4,
         1,
         8.25,
         30,
         true,
         1,
         3000,
         5000},
        {"more readings in 3 s all count",
         {{0, 10}, {700, 20}, {1400, 30}, {2100, 40}, {2800, 50}},
         5,
         1,
         3,
         5,
         true,
         3,
         0,
         2800},
        {"negative speeds", {{0, -20}, {1000, -10}, {2000, -30}}, 3, -3, -2, -1, true, -2, 0, 2000},
    };
    for (const auto& c : cases) {
        const CTrendRing ring = RingOf(c.points);
        const TrendStatistics stats = ComputeStatistics(ring, 0, ring.Size());
        EXPECT_EQ(stats.readings, c.readings) << c.name;
        EXPECT_NEAR(stats.minimum, c.minimum, 1e-3) << c.name;
        EXPECT_NEAR(stats.mean, c.mean, 1e-3) << c.name;
        EXPECT_NEAR(stats.maximum, c.maximum, 1e-3) << c.name;
        EXPECT_EQ(stats.hasGust, c.hasGust) << c.name;
        EXPECT_NEAR(stats.gust, c.gust, 1e-3) << c.name;
        EXPECT_EQ(stats.gustStartMs, c.gustStart) << c.name;
        EXPECT_EQ(stats.gustEndMs, c.gustEnd) << c.name;
    }
}

TEST(TrendStatistics, OverASpanOnlyAndAcrossTheRingsWrap) {
    CTrendRing ring(4);
    for (const int tenths : {500, 500, 10, 20, 30, 40}) { // the first two are dropped
        ring.AddReading(ring.Size() * 1000, Speed(tenths));
    }
    const TrendStatistics all = ComputeStatistics(ring, 0, ring.Size());
    EXPECT_EQ(all.readings, 4u);
    EXPECT_DOUBLE_EQ(all.maximum, 4.0);
    const TrendStatistics lastTwo = ComputeStatistics(ring, 2, 4);
    EXPECT_DOUBLE_EQ(lastTwo.mean, 3.5);
}

} // namespace
