#pragma once

#include "FixedText.h"
#include "LittleEndian.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The sensor configuration (CMD_READ_CONFIG / CMD_WRITE_CONFIG). Bytes 0-1, 6-9, 27-38 and bit 7
// of the flags mean nothing to the terminal and must travel back exactly as read, which is why
// the record is kept as its bytes.
struct SensorConfigRecord {
    static constexpr std::size_t kSize = 39;
    static constexpr std::size_t kDescriptionSize = 16;
    static constexpr int kFirstProductionYear = 2005;

    std::array<std::uint8_t, kSize> bytes{};

    std::uint16_t serialNumber() const { return ReadU16LE(&bytes[2]); }
    void setSerialNumber(std::uint16_t value) { WriteU16LE(&bytes[2], value); }

    // Tenths of m/s; the magnitude is the measuring range, a negative value means the direction
    // of rotation is reversed.
    std::int16_t range() const { return ReadI16LE(&bytes[4]); }
    void setRange(std::int16_t tenths) { WriteI16LE(&bytes[4], tenths); }

    std::uint8_t flags() const { return bytes[10]; }
    void setFlags(std::uint8_t value) { bytes[10] = value; }

    // Bit 0: 0 current, 1 voltage.
    int outputKind() const { return flags() & 0x01; }
    void setOutputKind(int value) { SetFlagBit(0x01, value); }
    // Bit 1: 0 one-directional, 1 two-directional.
    int outputMode() const { return (flags() >> 1) & 0x01; }
    void setOutputMode(int value) { SetFlagBit(0x02, value); }
    // Bit 2: the DAC RS mode takes priority over the other modes.
    int dacRsPriority() const { return (flags() >> 2) & 0x01; }
    void setDacRsPriority(int value) { SetFlagBit(0x04, value); }
    // Bits 3-6: year of production minus 2005 (0..15).
    int productionYear() const { return kFirstProductionYear + ((flags() >> 3) & 0x0F); }
    void setProductionYear(int year) {
        const int code = (year - kFirstProductionYear) & 0x0F;
        setFlags(static_cast<std::uint8_t>((flags() & ~0x78) | (code << 3)));
    }

    // The description's single-byte characters up to the first NUL.
    std::string description() const { return ReadFixedText(&bytes[11], kDescriptionSize); }
    // False when the text was longer than the field and was cut.
    bool setDescription(std::string_view text) {
        return WriteFixedText(&bytes[11], kDescriptionSize, text);
    }

private:
    void SetFlagBit(std::uint8_t bit, int on) {
        setFlags(static_cast<std::uint8_t>((on & 1) != 0 ? (flags() | bit) : (flags() & ~bit)));
    }
};
