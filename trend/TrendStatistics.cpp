#include "TrendStatistics.h"

#include <algorithm>

TrendStatistics ComputeStatistics(const CTrendRing& ring, std::size_t first, std::size_t end) {
    TrendStatistics stats;
    end = std::min(end, ring.Size());
    std::int64_t total = 0; // tenths
    int lowest = 0;
    int highest = 0;
    // The gust's window: readings [windowFirst, index], their sum and count.
    std::size_t windowFirst = first;
    std::int64_t windowSum = 0;
    std::size_t windowCount = 0;
    double bestGust = 0;

    for (std::size_t index = first; index < end; ++index) {
        const TrendPoint& point = ring[index];
        if (point.gap) {
            windowFirst = index + 1;
            windowSum = 0;
            windowCount = 0;
            continue;
        }
        const int tenths = point.reading.speedTenths;
        lowest = stats.readings == 0 ? tenths : std::min(lowest, tenths);
        highest = stats.readings == 0 ? tenths : std::max(highest, tenths);
        total += tenths;
        ++stats.readings;

        windowSum += tenths;
        ++windowCount;
        while (windowFirst < index &&
               ring[windowFirst].timeMs <= point.timeMs - TrendStatistics::kGustWindowMs) {
            windowSum -= ring[windowFirst].reading.speedTenths;
            --windowCount;
            ++windowFirst;
        }
        if (windowCount >= TrendStatistics::kGustMinReadings) {
            const double mean = static_cast<double>(windowSum) / static_cast<double>(windowCount);
            if (!stats.hasGust || mean > bestGust) {
                stats.hasGust = true;
                bestGust = mean;
                stats.gustStartMs = ring[windowFirst].timeMs;
                stats.gustEndMs = point.timeMs;
            }
        }
    }
    if (stats.readings > 0) {
        stats.minimum = lowest / 10.0;
        stats.maximum = highest / 10.0;
        stats.mean = static_cast<double>(total) / static_cast<double>(stats.readings) / 10.0;
    }
    stats.gust = bestGust / 10.0;
    return stats;
}
