#include "LocalTime.h"

bool LocalCalendarTime(std::time_t moment, std::tm& local) {
    return ::localtime_s(&local, &moment) == 0;
}
