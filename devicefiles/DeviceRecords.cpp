#include "DeviceRecords.h"

#include "DeviceCommands.h"

#include <cstdio>

const RecordInfo& InfoOf(RecordKind kind) {
    static constexpr RecordInfo kInfo[] = {
        {"sensorConfig", "konfiguracja QAL", CMD_READ_CONFIG, "Odczyt konfiguracji",
         CMD_WRITE_CONFIG, "Zapis konfiguracji"},
        {"readerData", "konfiguracja czytnika", CMD_READ_READER, "Odczyt danych czytnika",
         CMD_WRITE_READER, "Zapis danych czytnika"},
        {"outputs", "konfiguracja wyjść", CMD_READ_ALARMS, "Odczyt danych alarmów",
         CMD_WRITE_ALARMS, "Zapis danych alarmów"},
    };
    return kInfo[static_cast<int>(kind)];
}

std::span<std::uint8_t> BytesOf(DeviceRecords& records, RecordKind kind) {
    switch (kind) {
    case RecordKind::SensorConfig:
        return records.config.bytes;
    case RecordKind::ReaderData:
        return records.reader.bytes;
    case RecordKind::Outputs:
        break;
    }
    return records.alarms.bytes;
}

std::span<const std::uint8_t> BytesOf(const DeviceRecords& records, RecordKind kind) {
    return BytesOf(const_cast<DeviceRecords&>(records), kind);
}

std::string DefaultSettingsFileName(unsigned serialNumber, int year, int month, int day) {
    char name[64];
    std::snprintf(name, sizeof name, "QAL-%05u-%04d-%02d-%02d.json", serialNumber, year, month,
                  day);
    return name;
}
