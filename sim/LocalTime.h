#pragma once

#include <ctime>

// The local calendar time of a moment, as the system's time zone has it; false when the system
// cannot tell (the thread-safe call differs between POSIX and Windows).
bool LocalCalendarTime(std::time_t moment, std::tm& local);
