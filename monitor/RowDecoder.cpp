#include "RowDecoder.h"

#include "DeviceCommands.h"
#include "FrameParser.h"
#include "MeasurementAnswer.h"
#include "TimeRecord.h"
#include "Windows1250.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct CommandEntry {
    std::uint8_t code;
    const char* name;
};

constexpr CommandEntry kCommands[] = {
    {CMD_READ_VERSION, "Odczyt wersji"},
    {CMD_READ_MEASUREMENT, "Odczyt pomiaru"},
    {CMD_WRITE_CONFIG, "Zapis konfiguracji"},
    {CMD_READ_CONFIG, "Odczyt konfiguracji"},
    {CMD_WRITE_ALARMS, "Zapis danych alarmów"},
    {CMD_READ_ALARMS, "Odczyt danych alarmów"},
    {CMD_WRITE_READER, "Zapis danych czytnika"},
    {CMD_READ_READER, "Odczyt danych czytnika"},
    {CMD_READ_TIME, "Odczyt czasu"},
    {CMD_WRITE_TIME, "Zapis czasu"},
    {CMD_TEXT, "Tekst urządzenia"},
};

std::string Reading(const std::uint8_t* payload, std::size_t size) {
    if (size < MeasurementAnswer::kSize) {
        return {};
    }
    MeasurementAnswer answer;
    std::memcpy(answer.bytes.data(), payload, MeasurementAnswer::kSize);
    char text[64];
    if (answer.isModelMarker()) {
        std::snprintf(text, sizeof text, "znacznik modelu, stan %02Xh", answer.status());
    } else {
        const int tenths = answer.speed();
        std::snprintf(text, sizeof text, "%s%d.%d m/s, stan %02Xh", tenths < 0 ? "-" : "",
                      std::abs(tenths) / 10, std::abs(tenths) % 10, answer.status());
    }
    return text;
}

std::string Clock(const std::uint8_t* payload, std::size_t size) {
    if (size < TimeRecord::kSize) {
        return {};
    }
    TimeRecord time;
    std::memcpy(time.bytes.data(), payload, TimeRecord::kSize);
    char text[64];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", unsigned{time.year()},
                  unsigned{time.month()}, unsigned{time.day()}, unsigned{time.hour()},
                  unsigned{time.minute()}, unsigned{time.second()});
    return text;
}

std::string Version(const std::uint8_t* payload, std::size_t size) {
    if (size < 1) {
        return {};
    }
    // The number first, then the device's text.
    return DecodeDeviceText(payload + 1, size - 1) + ", wersja " + std::to_string(payload[0]);
}

const char* DropText(FrameDrop drop) {
    switch (drop) {
    case FrameDrop::BadChecksum:
        return "błędna";
    case FrameDrop::Broken:
        return "przerwana znakiem spoza hex";
    case FrameDrop::TooLong:
        return "za długa";
    case FrameDrop::Interrupted:
        return "przerwana przez ':'";
    case FrameDrop::TooShort:
        return "za krótka";
    case FrameDrop::None:
    case FrameDrop::Noise:
        break;
    }
    return "";
}

// Decoded bytes of a frame: length byte, address, command, payload and, when whole, checksum.
void FillFrame(MonitorRow& row, const std::uint8_t* bytes, std::size_t size, bool whole) {
    if (size >= 2) {
        row.address = bytes[1];
    }
    if (size >= 3) {
        row.command = bytes[2];
    }
    if (whole && size >= 4) {
        const std::size_t payload = size - 4;
        row.length = static_cast<int>(payload);
        row.hex = HexBytes(bytes + 3, payload);
        row.summary =
            PayloadSummary(row.command, row.kind == RowKind::ToDevice, bytes + 3, payload);
    } else {
        row.hex = HexBytes(bytes, size);
    }
}

std::string PrintableText(const std::uint8_t* bytes, std::size_t size) {
    std::string text;
    for (std::size_t i = 0; i < size; ++i) {
        const auto c = static_cast<char>(bytes[i]);
        text += bytes[i] >= 0x20 && bytes[i] < 0x7F ? c : '.';
    }
    return text;
}

} // namespace

std::string CommandName(int command) {
    for (const CommandEntry& entry : kCommands) {
        if (entry.code == command) {
            return entry.name;
        }
    }
    return {};
}

std::string CommandText(int command) {
    if (command < 0) {
        return {};
    }
    char code[16];
    std::snprintf(code, sizeof code, "%02Xh", static_cast<unsigned>(command));
    const std::string name = CommandName(command);
    return name.empty() ? code : std::string(code) + " " + name;
}

std::string PayloadSummary(int command, bool toDevice, const std::uint8_t* payload,
                           std::size_t size) {
    switch (command) {
    case CMD_READ_MEASUREMENT:
        return toDevice ? std::string() : Reading(payload, size);
    case CMD_READ_VERSION:
        return toDevice ? std::string() : Version(payload, size);
    case CMD_READ_TIME:
        return toDevice ? std::string() : Clock(payload, size);
    case CMD_WRITE_TIME:
        return toDevice ? Clock(payload, size) : std::string();
    case CMD_TEXT:
        return DecodeDeviceText(payload, size);
    default:
        return {};
    }
}

std::string HexBytes(const std::uint8_t* bytes, std::size_t size) {
    std::string text;
    text.reserve(size * 3);
    char pair[4];
    for (std::size_t i = 0; i < size; ++i) {
        std::snprintf(pair, sizeof pair, i == 0 ? "%02X" : " %02X", bytes[i]);
        text += pair;
    }
    return text;
}

std::optional<MonitorRecord> RecordOfWire(const WireRecord& record, std::int64_t wallOffsetUs) {
    MonitorRecord row;
    row.wallUs = record.timeUs + wallOffsetUs;
    switch (record.event) {
    case WireEvent::Received:
        return std::nullopt;
    case WireEvent::Note:
        row.kind = RowKind::Event;
        row.bytes.assign(reinterpret_cast<const char*>(record.bytes), record.size);
        return row;
    case WireEvent::Sent: {
        // The wire text: line feed, return, ':' and hex pairs.
        const char* text = reinterpret_cast<const char*>(record.bytes);
        const char* colon = static_cast<const char*>(std::memchr(text, ':', record.size));
        if (colon != nullptr) {
            for (const char* p = colon + 1; p + 1 < text + record.size; p += 2) {
                const int high = HexDigitValue(p[0]);
                const int low = HexDigitValue(p[1]);
                if (high < 0 || low < 0) {
                    break;
                }
                row.bytes += static_cast<char>(high << 4 | low);
            }
        }
        row.kind = RowKind::ToDevice;
        return row;
    }
    case WireEvent::Frame:
    case WireEvent::Dropped:
        row.kind = record.event == WireEvent::Dropped && record.drop == FrameDrop::Noise
                       ? RowKind::Noise
                       : RowKind::FromDevice;
        row.drop = record.event == WireEvent::Frame || row.kind == RowKind::Noise ? FrameDrop::None
                                                                                  : record.drop;
        row.bytes.assign(reinterpret_cast<const char*>(record.bytes), record.size);
        return row;
    }
    return std::nullopt;
}

MonitorRow DecodeRecord(const MonitorRecord& record) {
    MonitorRow row;
    row.wallUs = record.wallUs;
    row.answerUs = record.answerUs;
    row.kind = record.kind;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(record.bytes.data());
    const std::size_t size = record.bytes.size();
    switch (record.kind) {
    case RowKind::Event:
        row.summary = record.bytes;
        break;
    case RowKind::Noise:
        row.hex = HexBytes(bytes, size);
        row.length = static_cast<int>(size);
        row.summary = PrintableText(bytes, size);
        break;
    case RowKind::ToDevice:
    case RowKind::FromDevice:
        if (record.Intact()) {
            row.check = "poprawna";
            FillFrame(row, bytes, size, true);
        } else {
            row.check = DropText(record.drop);
            // A frame whose checksum alone is wrong is whole; the others stop where they broke.
            FillFrame(row, bytes, size,
                      record.drop == FrameDrop::BadChecksum || record.drop == FrameDrop::TooShort);
        }
        break;
    }
    return row;
}

std::optional<MonitorRow> DecodeWireRecord(const WireRecord& record, std::int64_t wallOffsetUs) {
    const std::optional<MonitorRecord> row = RecordOfWire(record, wallOffsetUs);
    if (!row) {
        return std::nullopt;
    }
    return DecodeRecord(*row);
}
