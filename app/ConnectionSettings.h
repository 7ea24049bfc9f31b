#pragma once

#include <cstdint>

// Which port to open, at which speed, and the address every request carries (its low byte).
struct ConnectionSettings {
    std::int32_t port = 1;
    std::int32_t baudRate = 19200;
    std::int32_t deviceAddress = 31;
};
