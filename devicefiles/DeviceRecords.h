#pragma once

#include "AlarmDataRecord.h"
#include "ReaderDataRecord.h"
#include "SensorConfigRecord.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

// The three settings records of one device, and what a settings file says about where they came
// from. The records' bytes are what a restore writes; everything else is for the person reading.
struct DeviceRecords {
    SensorConfigRecord config;
    ReaderDataRecord reader;
    AlarmDataRecord alarms;

    bool operator==(const DeviceRecords& other) const {
        return config.bytes == other.config.bytes && reader.bytes == other.reader.bytes &&
               alarms.bytes == other.alarms.bytes;
    }
};

enum class RecordKind { SensorConfig, ReaderData, Outputs };
inline constexpr std::array<RecordKind, 3> kAllRecords{RecordKind::SensorConfig,
                                                       RecordKind::ReaderData, RecordKind::Outputs};

// How each record is named in files and messages, and the commands that read and write it (the
// same ones the settings dialogs use, with the same log lines).
struct RecordInfo {
    const char* key;  // in the file
    const char* name; // in messages, Polish
    std::uint8_t readCommand;
    const char* readLog;
    std::uint8_t writeCommand;
    const char* writeLog;
};
const RecordInfo& InfoOf(RecordKind kind);

std::span<std::uint8_t> BytesOf(DeviceRecords& records, RecordKind kind);
std::span<const std::uint8_t> BytesOf(const DeviceRecords& records, RecordKind kind);

struct SettingsSnapshot {
    std::string savedAt; // ISO 8601 with the offset from UTC
    int programVersion = 0;
    std::string port; // "COM1"
    int baudRate = 0;
    int address = 0;
    std::string deviceVersionText; // UTF-8
    int deviceVersion = 0;
    DeviceRecords records;
};

// "QAL-01234-2026-12-08.json"
std::string DefaultSettingsFileName(unsigned serialNumber, int year, int month, int day);
