#pragma once

#include "DeviceRecords.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <string>

// The settings file: one device's records as JSON, UTF-8, pretty-printed. The records' hex is
// what counts; the decoded fields beside it are for people, and must agree with it.
inline constexpr const char* kSettingsFormatName = "qal-device-settings";
inline constexpr int kSettingsFormatVersion = 1;
inline constexpr qint64 kMaxSettingsFileSize = 1024 * 1024;

QByteArray SettingsToJson(const SettingsSnapshot& snapshot);

// The time a snapshot is saved at: local time, ISO 8601 with the offset from UTC.
std::string SavedAtNow();

struct SettingsRead {
    std::optional<SettingsSnapshot> snapshot;
    std::string error; // Polish, for the user; set when there is no snapshot
};
SettingsRead SettingsFromJson(const QByteArray& json);

// Refuses files over the size limit and files that cannot be read.
SettingsRead LoadSettingsFile(const QString& path);
// Atomic: a temporary file in the same folder, renamed over the target once complete. On
// failure the error says why and the target is as it was.
bool SaveSettingsFile(const QString& path, const SettingsSnapshot& snapshot, std::string& error);
