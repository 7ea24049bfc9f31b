#pragma once

#include <cstdint>

// Command codes of the device protocol. Every request and its answer carry the same code; a
// write carries the same record layout as the answer to its read.
inline constexpr std::uint8_t CMD_READ_VERSION = 0x21;
inline constexpr std::uint8_t CMD_READ_MEASUREMENT = 0x22;
inline constexpr std::uint8_t CMD_WRITE_CONFIG = 0x23;
inline constexpr std::uint8_t CMD_READ_CONFIG = 0x24;
inline constexpr std::uint8_t CMD_WRITE_ALARMS = 0x25;
inline constexpr std::uint8_t CMD_READ_ALARMS = 0x26;
// 0x27 and 0x28 are not used.
inline constexpr std::uint8_t CMD_WRITE_READER = 0x29;
inline constexpr std::uint8_t CMD_READ_READER = 0x2A;
inline constexpr std::uint8_t CMD_READ_TIME = 0x2B;
inline constexpr std::uint8_t CMD_WRITE_TIME = 0x2C;
// Sent by the device unasked: a text up to a zero byte, shown in the event log.
inline constexpr std::uint8_t CMD_TEXT = 0xA0;

// The measurement request carries three zero bytes (a 16-bit field and a flags byte).
inline constexpr std::uint8_t kMeasurementRequestLength = 3;
