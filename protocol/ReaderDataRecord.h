#pragma once

#include "FixedText.h"
#include "LittleEndian.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The data reader settings (CMD_READ_READER / CMD_WRITE_READER). Bytes 0-1, 4-6 and 24-25 mean
// nothing to the terminal and must travel back exactly as read.
struct ReaderDataRecord {
    static constexpr std::size_t kSize = 26;
    static constexpr std::size_t kDescriptionSize = 16;

    std::array<std::uint8_t, kSize> bytes{};

    std::uint16_t serialNumber() const { return ReadU16LE(&bytes[2]); }
    void setSerialNumber(std::uint16_t value) { WriteU16LE(&bytes[2], value); }

    // Seconds between two recordings.
    std::uint8_t recordInterval() const { return bytes[7]; }
    void setRecordInterval(std::uint8_t seconds) { bytes[7] = seconds; }

    std::string description() const { return ReadFixedText(&bytes[8], kDescriptionSize); }
    bool setDescription(std::string_view text) {
        return WriteFixedText(&bytes[8], kDescriptionSize, text);
    }
};
