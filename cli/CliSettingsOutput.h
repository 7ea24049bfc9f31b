#pragma once

#include "DeviceSettingsTransfer.h"
#include "SettingsComparison.h"
#include "SettingsProblem.h"

#include <string>
#include <vector>

// How qal-cli reports a comparison with a settings file and a restore from it. Records are named
// by their keys in the file ("sensorConfig", "readerData", "outputs").

// Why a settings file was refused, in qal-cli's words.
std::string SettingsProblemEnglish(const SettingsProblem& problem);

// "sensorConfig, outputs"
std::string RecordKeys(const std::vector<RecordKind>& records);

// The differing rows ("label: device → file"), the other differing bytes, and what a restore
// would write; one line each.
std::vector<std::string> DiffLines(const SettingsComparison& comparison);
// The whole comparison: every row (named by its record and key, with its label and the two
// values as the windows show them) with whether it changed, the other bytes, the records a
// restore would write.
std::string DiffJson(const std::string& file, const SettingsComparison& comparison);

// What a restore wrote and what became of it, one line per outcome that has records.
std::vector<std::string> RestoreLines(const RestoreOutcome& outcome);
// confirmed: the user (or --yes) agreed; otherwise nothing was sent.
std::string RestoreJson(const std::string& file, bool clone, const std::vector<RecordKind>& toWrite,
                        bool confirmed, const RestoreOutcome& outcome);
