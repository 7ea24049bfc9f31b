#pragma once

#include "DeviceRecords.h"

#include <QString>

#include <string>

// The settings sheet of one device as a PDF page: versions, serial number, every decoded
// setting, the PC's time and the program's version.
QString SettingsSheetHtml(const SettingsSnapshot& snapshot);
bool WriteSettingsSheet(const QString& path, const SettingsSnapshot& snapshot, std::string& error);
