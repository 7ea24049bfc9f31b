#pragma once

#include "TrendRing.h"

#include <cstddef>
#include <cstdint>

// Minimum, mean, maximum and gust of the readings in a stretch of the trend, in m/s.
//
// The gust is the highest 3-second running mean: for each reading, the mean of the readings
// within the 3 s that end with it (later than 3 s before it, up to it). A window counts only when
// it holds no gap and at least three readings, which at the readout's one reading a second is
// every window of an unbroken run; a stretch without such a window (a single reading, readings
// split by gaps) has no gust. Readings flagged as a device failure count like any other: they
// are what the device reported, and the plot marks them.
struct TrendStatistics {
    static constexpr std::int64_t kGustWindowMs = 3000;
    static constexpr std::size_t kGustMinReadings = 3;

    std::size_t readings = 0; // minimum, mean and maximum only when there are any
    double minimum = 0;
    double mean = 0;
    double maximum = 0;

    bool hasGust = false;
    double gust = 0;
    std::int64_t gustStartMs = 0; // first and last reading of the gust's window
    std::int64_t gustEndMs = 0;
};

// Over the points [first, end) of the ring.
TrendStatistics ComputeStatistics(const CTrendRing& ring, std::size_t first, std::size_t end);
