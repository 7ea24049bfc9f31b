#pragma once

#include <ctime>

// The C library's local calendar time of a moment, thread-safe on every platform. False when the
// system cannot convert the moment; local is then left as it was.
inline bool ToLocalCalendar(std::time_t moment, std::tm& local) {
#ifdef _WIN32
    return localtime_s(&local, &moment) == 0;
#else
    return localtime_r(&moment, &local) != nullptr;
#endif
}
