#pragma once

#include <chrono>

using TestClock = std::chrono::steady_clock;

// Whole milliseconds left until the deadline, 0 once it has passed: a poll() timeout.
inline int MillisecondsUntil(TestClock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TestClock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}
