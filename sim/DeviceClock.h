#pragma once

#include "TimeRecord.h"

#include <chrono>
#include <cstdint>
#include <optional>

// The device keeps its own clock: it ticks with the PC's but stands wherever it was last set.
// It is held as its distance in seconds from UTC, so that it keeps ticking evenly through the
// PC's daylight-saving changes, as a real device clock would.
using WallClock = std::chrono::system_clock;

// The distance that makes the device clock show the PC's local time at this moment.
std::int64_t LocalTimeOffset(WallClock::time_point now);

// The device clock at now, as the device reports it.
TimeRecord DeviceTime(WallClock::time_point now, std::int64_t offsetSeconds);

// The distance that makes the device clock show the written time at now; nothing when the
// record holds no valid date and time of day.
std::optional<std::int64_t> OffsetForTime(const TimeRecord& written, WallClock::time_point now);
