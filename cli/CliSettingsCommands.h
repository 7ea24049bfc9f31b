#pragma once

#include "CliCommands.h"

// The settings-file commands: they share the terminal's file format, comparison and restore.

// save FILE: the device's versions and three records to a settings file.
int RunSave(const CliRun& run);
// diff FILE: what differs between the device and the file.
int RunDiff(const CliRun& run);
// restore FILE [--clone] [--yes]: writes what differs, each record read back and compared.
int RunRestore(const CliRun& run);
