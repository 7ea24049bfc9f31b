#pragma once

#include "ReadingSample.h"

#include <string>

// The readings' one machine format, written by the recording and by qal-cli's watch --csv: a
// header of plain names, then one line a reading with its local time (ISO 8601 with
// milliseconds and the offset from UTC), reading number, speed in m/s with a decimal point
// whatever the locale, status byte in hex, failure flag (1 on a failure) and outputs 1-3 (1 on).
// Both without their line end.
std::string ReadingCsvHeader();
std::string ReadingCsvLine(const std::string& isoTime, const ReadingSample& reading);
