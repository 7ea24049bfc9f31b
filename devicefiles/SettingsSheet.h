#pragma once

#include "DeviceRecords.h"

#include <QString>

#include <string>

// The settings sheet of one device as a PDF page: versions, serial number, every decoded
// setting, the PC's time and the program's version.
QString SettingsSheetHtml(const SettingsSnapshot& snapshot);
// The whole page or nothing: made in memory and checked, then put in the file's place as
// FileReplace does it (only a regular file or none is replaced). Otherwise false, error says why
// in Polish, and the file is as it was.
bool WriteSettingsSheet(const QString& path, const SettingsSnapshot& snapshot, std::string& error);
