#pragma once

#include "LineDefaults.h"

#include <cstdint>

// Which port to open, at which speed, and the address every request carries (its low byte).
struct ConnectionSettings {
    std::int32_t port = kDefaultPort;
    std::int32_t baudRate = kDefaultBaudRate;
    std::int32_t deviceAddress = kDefaultDeviceAddress;
};
