#pragma once

#include "LittleEndian.h"

#include <array>
#include <cstddef>
#include <cstdint>

// Payload of the answer to CMD_READ_MEASUREMENT. Bytes 2-5 and 7 carry nothing the terminal reads.
struct MeasurementAnswer {
    static constexpr std::size_t kSize = 8;
    static constexpr std::size_t kStatusOffset = 6;

    // In place of a speed: the device reports its model instead of a reading.
    static constexpr std::int16_t kModelMarker = 0x7FFF;
    // Status bit 3: set while the device is in order, clear on a device failure.
    static constexpr std::uint8_t kDeviceInOrder = 0x08;

    // Status bit of output 1, 2 or 3 (bits 4, 5, 6). The bit is clear while the output is on:
    // the terminal shows 1 for a clear bit.
    static constexpr std::uint8_t OutputBit(int output) {
        return static_cast<std::uint8_t>(0x10 << (output - 1));
    }

    std::array<std::uint8_t, kSize> bytes{};

    // Tenths of a metre per second, or kModelMarker.
    std::int16_t speed() const { return ReadI16LE(&bytes[0]); }
    void setSpeed(std::int16_t tenths) { WriteI16LE(&bytes[0], tenths); }
    bool isModelMarker() const { return speed() == kModelMarker; }

    std::uint8_t status() const { return bytes[kStatusOffset]; }
    void setStatus(std::uint8_t value) { bytes[kStatusOffset] = value; }

    bool deviceInOrder() const { return (status() & kDeviceInOrder) != 0; }
    bool outputOn(int output) const { return (status() & OutputBit(output)) == 0; }
};
