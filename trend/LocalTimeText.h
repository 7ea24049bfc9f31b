#pragma once

#include <cstdint>
#include <string>

// "2026-12-08T16:05:09.042+01:00": ISO 8601 with milliseconds and the offset from UTC in
// seconds (shown to the minute).
std::string FormatIsoTime(std::int64_t msSinceEpoch, int offsetSeconds);

// The local time zone's offset from UTC at that moment, in seconds.
int LocalOffsetSeconds(std::int64_t msSinceEpoch);

// The moment in the local time zone.
inline std::string FormatLocalIsoTime(std::int64_t msSinceEpoch) {
    return FormatIsoTime(msSinceEpoch, LocalOffsetSeconds(msSinceEpoch));
}
