#pragma once

#include <cstdint>

// The line a device comes with, and what the terminal uses until its settings file says
// otherwise.
inline constexpr int kDefaultPort = 1;
inline constexpr int kDefaultBaudRate = 19200;
inline constexpr std::uint8_t kDefaultDeviceAddress = 31;
