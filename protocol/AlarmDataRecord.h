#pragma once

#include "LittleEndian.h"

#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>

// The three threshold outputs (CMD_READ_ALARMS / CMD_WRITE_ALARMS). Each output has five packed
// bytes (min, max, inverted) from offset 2, so the thresholds of outputs 2 and 3 sit at odd
// offsets. Bytes 0-1, 18-19 and bits 0 and 4-7 of the active byte must travel back as read.
struct AlarmDataRecord {
    static constexpr std::size_t kSize = 20;
    static constexpr int kOutputCount = 3;
    static constexpr std::size_t kActiveOutputsOffset = 17;

    std::array<std::uint8_t, kSize> bytes{};

    // Output numbers run from 1 to 3. Thresholds are in tenths of m/s.
    std::int16_t minThreshold(int output) const { return ReadI16LE(At(output, 0)); }
    void setMinThreshold(int output, std::int16_t tenths) { WriteI16LE(At(output, 0), tenths); }
    std::int16_t maxThreshold(int output) const { return ReadI16LE(At(output, 2)); }
    void setMaxThreshold(int output, std::int16_t tenths) { WriteI16LE(At(output, 2), tenths); }

    // The whole byte: the terminal writes 0 or 1, the device may hold anything.
    std::uint8_t inverted(int output) const { return *At(output, 4); }
    void setInverted(int output, std::uint8_t value) { *At(output, 4) = value; }

    std::uint8_t activeOutputs() const { return bytes[kActiveOutputsOffset]; }
    void setActiveOutputs(std::uint8_t value) { bytes[kActiveOutputsOffset] = value; }
    // Bits 1, 2, 3 of activeOutputs.
    bool active(int output) const { return (activeOutputs() & ActiveBit(output)) != 0; }
    void setActive(int output, bool on) {
        const std::uint8_t bit = ActiveBit(output);
        setActiveOutputs(
            static_cast<std::uint8_t>(on ? (activeOutputs() | bit) : (activeOutputs() & ~bit)));
    }

private:
    static std::uint8_t ActiveBit(int output) {
        assert(output >= 1 && output <= kOutputCount);
        return static_cast<std::uint8_t>(1 << output);
    }
    static std::size_t Offset(int output, std::size_t field) {
        assert(output >= 1 && output <= kOutputCount);
        return 2 + 5 * static_cast<std::size_t>(output - 1) + field;
    }
    std::uint8_t* At(int output, std::size_t field) { return &bytes[Offset(output, field)]; }
    const std::uint8_t* At(int output, std::size_t field) const {
        return &bytes[Offset(output, field)];
    }
};
