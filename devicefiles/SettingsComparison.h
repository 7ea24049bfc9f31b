#pragma once

#include "DecodedFields.h"
#include "DeviceRecords.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct ComparedField {
    std::string label;
    std::string deviceValue;
    std::string fileValue;
    bool changed = false;
    // Which field: its record and its key there, as in the file (a stable name for programs).
    RecordKind record = RecordKind::SensorConfig;
    std::string key;
};

// A byte that differs where no decoded field shows it.
struct DifferingByte {
    RecordKind record;
    std::size_t offset;
    std::uint8_t deviceByte;
    std::uint8_t fileByte;
};

// The device's records against a file's: one row per decoded field, the bytes that differ
// unseen, and what a restore would write.
struct SettingsComparison {
    std::vector<ComparedField> fields;
    std::vector<DifferingByte> otherBytes;
    // A replacement sensor: the file's serial number is not the device's.
    bool serialsDiffer = false;
    // What a restore writes: the file's records, or, when the serial numbers differ, the clone.
    DeviceRecords target;
    std::vector<RecordKind> recordsToWrite;
    // What of that the settings dialogs would refuse, one line each (see DialogLimits.h).
    std::vector<std::string> beyondDialogLimits;
};

SettingsComparison CompareSettings(const DeviceRecords& device, const DeviceRecords& file);

// The file's settings for a replacement sensor: everything but the serial numbers (of the sensor
// and of its reader) and the production year, which stay the target device's.
DeviceRecords CloneOnto(const DeviceRecords& device, const DeviceRecords& file);

// "konfiguracja QAL, bajt 7: 0x12 → 0x34"
std::string DescribeByte(const DifferingByte& difference);
