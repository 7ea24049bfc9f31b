#include "LocalTimeText.h"

#include "LocalCalendar.h"

#include <cstdio>
#include <ctime>

namespace {

std::int64_t FloorDiv(std::int64_t value, std::int64_t divisor) {
    const std::int64_t quotient = value / divisor;
    return (value % divisor != 0 && (value < 0) != (divisor < 0)) ? quotient - 1 : quotient;
}

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar, and back.
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = FloorDiv(year, 400);
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

struct CivilDate {
    std::int64_t year;
    unsigned month;
    unsigned day;
};

CivilDate CivilFromDays(std::int64_t days) {
    days += 719468;
    const std::int64_t era = FloorDiv(days, 146097);
    const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned monthIndex = (5 * dayOfYear + 2) / 153;
    const unsigned day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    const unsigned month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    return {static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

} // namespace

std::string FormatIsoTime(std::int64_t msSinceEpoch, int offsetSeconds) {
    const std::int64_t localMs = msSinceEpoch + std::int64_t{offsetSeconds} * 1000;
    const std::int64_t days = FloorDiv(localMs, 86'400'000);
    const std::int64_t msOfDay = localMs - days * 86'400'000;
    const CivilDate date = CivilFromDays(days);
    const int offsetMinutes = (offsetSeconds < 0 ? -offsetSeconds : offsetSeconds) / 60;
    char text[64];
    std::snprintf(text, sizeof text, "%04lld-%02u-%02uT%02d:%02d:%02d.%03d%c%02d:%02d",
                  static_cast<long long>(date.year), date.month, date.day,
                  static_cast<int>(msOfDay / 3'600'000), static_cast<int>(msOfDay / 60'000 % 60),
                  static_cast<int>(msOfDay / 1000 % 60), static_cast<int>(msOfDay % 1000),
                  offsetSeconds < 0 ? '-' : '+', offsetMinutes / 60, offsetMinutes % 60);
    return text;
}

int LocalOffsetSeconds(std::int64_t msSinceEpoch) {
    const auto seconds = static_cast<std::time_t>(FloorDiv(msSinceEpoch, 1000));
    std::tm local{};
    if (!ToLocalCalendar(seconds, local)) {
        return 0; // a moment the system cannot convert: shown as UTC
    }
    const std::int64_t localSeconds =
        DaysFromCivil(std::int64_t{local.tm_year} + 1900, static_cast<unsigned>(local.tm_mon + 1),
                      static_cast<unsigned>(local.tm_mday)) *
            86400 +
        local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
    return static_cast<int>(localSeconds - static_cast<std::int64_t>(seconds));
}
