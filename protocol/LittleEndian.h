#pragma once

#include <cstdint>

// Device records keep multi-byte integers low byte first, at any offset (odd ones included).
inline std::uint16_t ReadU16LE(const std::uint8_t* at) {
    return static_cast<std::uint16_t>(at[0] | (at[1] << 8));
}

inline std::int16_t ReadI16LE(const std::uint8_t* at) {
    return static_cast<std::int16_t>(ReadU16LE(at));
}

inline void WriteU16LE(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value & 0xFF);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

inline void WriteI16LE(std::uint8_t* at, std::int16_t value) {
    WriteU16LE(at, static_cast<std::uint16_t>(value));
}
