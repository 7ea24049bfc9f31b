#pragma once

#include "ConnectionSettings.h"

#include <array>
#include <cstdint>
#include <string>

// config.cfg: exactly the three settings as little-endian signed 32-bit integers, nothing else.
constexpr std::size_t kConfigFileSize = 12;

std::array<std::uint8_t, kConfigFileSize> EncodeSettings(const ConnectionSettings& settings);
ConnectionSettings DecodeSettings(const std::array<std::uint8_t, kConfigFileSize>& bytes);

enum class ConfigLoadResult {
    Read,      // the first 12 bytes were read into the settings
    NotFound,  // missing, cannot be opened, not a regular file, or shorter than 12 bytes
    ReadError, // opened, but reading failed
};

// On anything but Read the settings are set to the defaults.
ConfigLoadResult LoadConfigFile(const std::string& path, ConnectionSettings& settings);

enum class ConfigSaveResult {
    Written,    // the file now holds exactly the 12 bytes
    CannotOpen, // not a regular file, or no new file could be made beside it; nothing changed
    WriteError, // the new content could not be written or put in place; the old file stays
};

// Paths are UTF-8. Saving makes the file's folder first when it is missing, and replaces the
// file in one step, so that a crash leaves the old or the new content, never a part. A path
// that is a link keeps the link: the file it leads to is replaced.
ConfigSaveResult SaveConfigFile(const std::string& path, const ConnectionSettings& settings);
