#pragma once

#include <array>
#include <cstdint>

// One speed reading as the readout showed it.
struct ReadingSample {
    std::uint16_t readingNo = 0;
    std::int16_t speedTenths = 0;  // tenths of a metre per second
    std::uint8_t status = 0;       // the status byte as the device sent it
    bool failure = false;          // "Awaria urządzenia"
    std::array<bool, 3> outputs{}; // outputs 1-3, on as the readout shows them
};
