#pragma once

#include <functional>
#include <optional>
#include <string>

// One environment variable as UTF-8, or nothing when it is not set.
using EnvironmentLookup = std::function<std::optional<std::string>(const std::string& name)>;

// The environment of this process.
std::optional<std::string> ProcessEnvironment(const std::string& name);

// The user's own settings directory of an installed program, ending in a separator:
// %APPDATA%\qal-terminal\ on Windows; $XDG_CONFIG_HOME/qal-terminal/ elsewhere, or
// ~/.config/qal-terminal/ when that variable is unset, empty or not absolute. Nothing when the
// environment names no such place.
std::optional<std::string> UserSettingsDirectory(const EnvironmentLookup& environment);

// Whether this process may make files in the directory (UTF-8).
bool IsWritableDirectory(const std::string& directory);
using DirectoryCheck = std::function<bool(const std::string& directory)>;

// Whether the directory is the bin folder of an installed copy: the package's desktop entry
// lies in the share folder beside it. Its files belong to the package manager, even where the
// user (root) may write.
bool IsInstalledProgramDirectory(const std::string& executableDirectory);

// Where config.cfg and the COM<n> links live: executableDirectory (which ends in a separator,
// or is empty for the current directory) when a config.cfg is there, or when that directory is
// writable and not an installed copy's, as in a build folder or a portable copy; otherwise the
// user's settings directory, which is created when the settings are first saved. The directory
// of the executable also when the environment names no other place.
std::string SettingsDirectory(const std::string& executableDirectory,
                              const EnvironmentLookup& environment,
                              const DirectoryCheck& isWritable = IsWritableDirectory);

// The directory of this process's executable, ending in a separator (UTF-8); empty when the
// system does not tell.
std::string ExecutableDirectory();
