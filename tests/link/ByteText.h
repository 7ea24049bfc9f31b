#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

// Bytes written as numbers, for Telnet sequences: Bytes({255, 253, 44}).
inline std::string Bytes(std::initializer_list<std::uint8_t> bytes) {
    return std::string(bytes.begin(), bytes.end());
}
