#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

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

// What tells a Windows program folder of an installed copy.
struct WindowsInstallFacts {
    bool uninstallerBeside = false; // the installer's Uninstall.exe lies in the folder
    // %ProgramFiles%, %ProgramFiles(x86)% and %ProgramW6432%, those that are set.
    std::vector<std::string> programFilesFolders;
};

// Whether a Windows program folder is an installed copy's: the installer left its uninstaller
// there, or the folder lies in a Program Files folder. Its files are the installer's even where
// this process may write (a run as administrator, such as the installer's own "Run"), so a write
// test alone cannot tell. Letter case and the kind of separator do not matter.
bool IsInstalledWindowsFolder(const std::string& folder, const WindowsInstallFacts& facts);

// Whether the directory is an installed copy's program folder. On Windows see
// IsInstalledWindowsFolder; elsewhere the bin folder with the package's desktop entry in the
// share folder beside it. Its files belong to the installer or the package manager, even where
// the user (an administrator, root) may write.
bool IsInstalledProgramDirectory(const std::string& executableDirectory,
                                 const EnvironmentLookup& environment = ProcessEnvironment);

// Where config.cfg and the COM<n> links live: executableDirectory (which ends in a separator,
// or is empty for the current directory) when a config.cfg is there, or when that directory is
// writable and not an installed copy's, as in a build folder or a portable copy; otherwise the
// user's settings directory, which is created when the settings are first saved. On Windows an
// installed copy always uses the user's directory, also when a config.cfg lies beside it (a
// run as administrator may have left one, which a normal run could read but never save). The
// directory of the executable also when the environment names no other place.
std::string SettingsDirectory(const std::string& executableDirectory,
                              const EnvironmentLookup& environment,
                              const DirectoryCheck& isWritable = IsWritableDirectory);

// The directory of this process's executable, ending in a separator (UTF-8); empty when the
// system does not tell.
std::string ExecutableDirectory();
