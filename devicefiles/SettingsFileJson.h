#pragma once

#include "DeviceRecords.h"
#include "SettingsProblem.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <string>
#include <system_error>

// The settings file: one device's records as JSON, UTF-8, pretty-printed. The records' hex is
// what counts; the decoded fields beside it are for people, and must agree with it.
inline constexpr const char* kSettingsFormatName = "qal-device-settings";
inline constexpr int kSettingsFormatVersion = 1;
inline constexpr qint64 kMaxSettingsFileSize = 1024 * 1024;

QByteArray SettingsToJson(const SettingsSnapshot& snapshot);

// The time a snapshot is saved at: local time, ISO 8601 with the offset from UTC.
std::string SavedAtNow();

// The problem in Polish, as the window shows it.
std::string SettingsProblemText(const SettingsProblem& problem, const std::string& path);

struct SettingsRead {
    std::optional<SettingsSnapshot> snapshot;
    std::string error; // Polish, for the user; set when there is no snapshot
    SettingsProblem problem;
};
SettingsRead SettingsFromJson(const QByteArray& json);
// A whole file's bytes: refused when over the size limit, else as SettingsFromJson.
SettingsRead SettingsFromFileData(const QByteArray& data);

// Reads only a regular file, without ever waiting on it (a pipe given as the file is refused at
// once), and refuses files over the size limit.
SettingsRead LoadSettingsFile(const QString& path);
// Replaces the file whole (see FileReplace), and only a regular file or none: a pipe, device or
// folder in its place is refused. On failure error says why and the target is as it was.
bool SaveSettingsFile(const QString& path, const SettingsSnapshot& snapshot,
                      std::error_code& error);
