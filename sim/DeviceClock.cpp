#include "DeviceClock.h"

#include "LocalTime.h"

namespace {

using namespace std::chrono;

std::int64_t SecondsOf(WallClock::time_point time) {
    return duration_cast<seconds>(time.time_since_epoch()).count();
}

// Seconds since the epoch of a calendar date and time read as if it were UTC.
std::int64_t CalendarSeconds(const year_month_day& date, int hour, int minute, int second) {
    return SecondsOf(sys_days(date)) + 3600LL * hour + 60LL * minute + second;
}

} // namespace

std::int64_t LocalTimeOffset(WallClock::time_point now) {
    const std::time_t nowT = WallClock::to_time_t(now);
    std::tm local{};
    if (!LocalCalendarTime(nowT, local)) {
        return 0; // no local time to be had: the clock starts on UTC
    }
    const year_month_day date{year{local.tm_year + 1900},
                              month{static_cast<unsigned>(local.tm_mon + 1)},
                              day{static_cast<unsigned>(local.tm_mday)}};
    return CalendarSeconds(date, local.tm_hour, local.tm_min, local.tm_sec) -
           static_cast<std::int64_t>(nowT);
}

TimeRecord DeviceTime(WallClock::time_point now, std::int64_t offsetSeconds) {
    const sys_seconds shown{seconds{SecondsOf(now) + offsetSeconds}};
    const sys_days dayStart = floor<days>(shown);
    const year_month_day date{dayStart};
    const hh_mm_ss<seconds> time{shown - dayStart};

    TimeRecord record;
    record.setSecond(static_cast<std::uint8_t>(time.seconds().count()));
    record.setMinute(static_cast<std::uint8_t>(time.minutes().count()));
    record.setHour(static_cast<std::uint8_t>(time.hours().count()));
    record.setDay(static_cast<std::uint8_t>(static_cast<unsigned>(date.day())));
    record.setMonth(static_cast<std::uint8_t>(static_cast<unsigned>(date.month())));
    record.setYear(static_cast<std::uint16_t>(static_cast<int>(date.year())));
    return record;
}

std::optional<std::int64_t> OffsetForTime(const TimeRecord& written, WallClock::time_point now) {
    const year_month_day date{year{written.year()}, month{written.month()}, day{written.day()}};
    // The year must fit the record both ways; year 0 is no calendar year of a device clock.
    if (!date.ok() || written.year() < 1 || written.hour() > 23 || written.minute() > 59 ||
        written.second() > 59) {
        return std::nullopt;
    }
    return CalendarSeconds(date, written.hour(), written.minute(), written.second()) -
           SecondsOf(now);
}
