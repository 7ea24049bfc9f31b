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

inline std::uint32_t ReadU32LE(const std::uint8_t* at) {
    return static_cast<std::uint32_t>(ReadU16LE(at)) |
           (static_cast<std::uint32_t>(ReadU16LE(at + 2)) << 16);
}

inline std::int32_t ReadI32LE(const std::uint8_t* at) {
    return static_cast<std::int32_t>(ReadU32LE(at));
}

inline void WriteU32LE(std::uint8_t* at, std::uint32_t value) {
    WriteU16LE(at, static_cast<std::uint16_t>(value & 0xFFFF));
    WriteU16LE(at + 2, static_cast<std::uint16_t>(value >> 16));
}

inline void WriteI32LE(std::uint8_t* at, std::int32_t value) {
    WriteU32LE(at, static_cast<std::uint32_t>(value));
}

inline std::uint64_t ReadU64LE(const std::uint8_t* at) {
    return static_cast<std::uint64_t>(ReadU32LE(at)) |
           (static_cast<std::uint64_t>(ReadU32LE(at + 4)) << 32);
}

inline void WriteU64LE(std::uint8_t* at, std::uint64_t value) {
    WriteU32LE(at, static_cast<std::uint32_t>(value & 0xFFFFFFFFu));
    WriteU32LE(at + 4, static_cast<std::uint32_t>(value >> 32));
}
