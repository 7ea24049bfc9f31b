#include "LocalTime.h"

#include "LocalCalendar.h"

#include <ctime>

TimeRecord LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    (void)ToLocalCalendar(now, local); // the present moment always converts
    TimeRecord record;
    record.setSecond(static_cast<std::uint8_t>(local.tm_sec));
    record.setMinute(static_cast<std::uint8_t>(local.tm_min));
    record.setHour(static_cast<std::uint8_t>(local.tm_hour));
    record.setDay(static_cast<std::uint8_t>(local.tm_mday));
    record.setMonth(static_cast<std::uint8_t>(local.tm_mon + 1));
    record.setYear(static_cast<std::uint16_t>(local.tm_year + 1900));
    return record;
}
