#pragma once

#include "LittleEndian.h"

#include <array>
#include <cstddef>
#include <cstdint>

// The device clock as read (CMD_READ_TIME) and written (CMD_WRITE_TIME): local calendar time,
// no weekday, no time zone. The values are carried as they come; nothing here checks them.
struct TimeRecord {
    static constexpr std::size_t kSize = 7;

    std::array<std::uint8_t, kSize> bytes{};

    std::uint8_t second() const { return bytes[0]; }
    std::uint8_t minute() const { return bytes[1]; }
    std::uint8_t hour() const { return bytes[2]; }
    std::uint8_t day() const { return bytes[3]; }
    std::uint8_t month() const { return bytes[4]; }             // January is 1
    std::uint16_t year() const { return ReadU16LE(&bytes[5]); } // the full year

    void setSecond(std::uint8_t value) { bytes[0] = value; }
    void setMinute(std::uint8_t value) { bytes[1] = value; }
    void setHour(std::uint8_t value) { bytes[2] = value; }
    void setDay(std::uint8_t value) { bytes[3] = value; }
    void setMonth(std::uint8_t value) { bytes[4] = value; }
    void setYear(std::uint16_t value) { WriteU16LE(&bytes[5], value); }
};
