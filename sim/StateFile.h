#pragma once

#include "DeviceMemory.h"

#include <string>

// The device memory on disk, so that a session survives a restart of the simulator: a short
// header, the three records as they are on the wire, and the clock offset.
enum class StateLoad {
    Loaded,
    Missing,  // no such file: the caller starts from the defaults
    Unusable, // cannot be read, or is not a state file; error says which
};

StateLoad LoadStateFile(const std::string& path, DeviceMemory& memory, std::string& error);

// Writes a new file beside the old one and renames it over it, so that a crash or a full disk
// never leaves a half-written state behind.
bool SaveStateFile(const std::string& path, const DeviceMemory& memory, std::string& error);
