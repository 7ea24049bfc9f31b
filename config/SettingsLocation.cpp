#include "SettingsLocation.h"

#include "Utf8Path.h"

#include <system_error>

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <cstdlib>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

constexpr const char* kFolderName = "qal-terminal";

#if defined(_WIN32)
std::string Utf8FromWide(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) {
        return {};
    }
    std::string result(static_cast<std::size_t>(size), '\0');
    if (WideCharToMultiByte(CP_UTF8, 0, text, -1, result.data(), size, nullptr, nullptr) != size) {
        return {};
    }
    result.pop_back(); // the closing zero
    return result;
}

// Access rights on Windows are not told by file attributes: only a file made there says it.
bool IsWritablePath(const fs::path& directory) {
    const fs::path probe = directory / (".qal-write-test-" + std::to_string(GetCurrentProcessId()));
    const HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    (void)CloseHandle(file); // removes the probe; the answer is known already
    return true;
}
#else
bool IsWritablePath(const fs::path& directory) {
    std::error_code error;
    return fs::is_directory(directory, error) && ::access(directory.c_str(), W_OK | X_OK) == 0;
}
#endif

#if defined(_WIN32)
// What the installer leaves beside the program (CPack's NSIS installer names it so).
constexpr const char* kUninstallerName = "Uninstall.exe";
#endif

// A Windows path in one spelling for comparing: backslashes, ASCII letters in lower case (the
// file system ignores their case), without the long-path prefix or a separator at its end.
std::string ComparablePath(std::string path) {
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        } else if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    if (path.rfind("\\\\?\\", 0) == 0) {
        path.erase(0, 4);
    }
    while (!path.empty() && path.back() == '\\') {
        path.pop_back();
    }
    return path;
}

// A non-empty value of the variable, without separators at its end.
std::optional<std::string> Variable(const EnvironmentLookup& environment, const char* name) {
    std::optional<std::string> value = environment(name);
    while (value && !value->empty() && (value->back() == '/' || value->back() == '\\')) {
        value->pop_back();
    }
    if (!value || value->empty()) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<std::string> ProcessEnvironment(const std::string& name) {
#if defined(_WIN32)
    // The wide call: the narrow one gives the ANSI code page, not UTF-8. Names are ASCII.
    const std::wstring wideName(name.begin(), name.end());
    const wchar_t* value = _wgetenv(wideName.c_str());
    if (value == nullptr) {
        return std::nullopt;
    }
    return Utf8FromWide(value);
#else
    const char* value = std::getenv(name.c_str());
    if (value == nullptr) {
        return std::nullopt;
    }
    return std::string(value);
#endif
}

std::optional<std::string> UserSettingsDirectory(const EnvironmentLookup& environment) {
#if defined(_WIN32)
    if (const auto appData = Variable(environment, "APPDATA")) {
        return *appData + "\\" + kFolderName + "\\";
    }
#else
    const auto configHome = Variable(environment, "XDG_CONFIG_HOME");
    // A relative value would depend on the current directory: such values are to be ignored.
    if (configHome && configHome->front() == '/') {
        return *configHome + "/" + kFolderName + "/";
    }
    if (const auto home = Variable(environment, "HOME")) {
        return *home + "/.config/" + kFolderName + "/";
    }
#endif
    return std::nullopt;
}

bool IsWritableDirectory(const std::string& directory) {
    return IsWritablePath(PathFromUtf8(directory.empty() ? "." : directory));
}

bool IsInstalledWindowsFolder(const std::string& folder, const WindowsInstallFacts& facts) {
    if (facts.uninstallerBeside) {
        return true;
    }
    const std::string path = ComparablePath(folder);
    for (const std::string& programFiles : facts.programFilesFolders) {
        const std::string root = ComparablePath(programFiles);
        // An empty root would hold every folder.
        if (!root.empty() && path.compare(0, root.size(), root) == 0 &&
            (path.size() == root.size() || path[root.size()] == '\\')) {
            return true;
        }
    }
    return false;
}

bool IsInstalledProgramDirectory(const std::string& executableDirectory,
                                 const EnvironmentLookup& environment) {
    const fs::path beside = PathFromUtf8(executableDirectory.empty() ? "." : executableDirectory);
    std::error_code error;
#if defined(_WIN32)
    WindowsInstallFacts facts;
    facts.uninstallerBeside = fs::is_regular_file(beside / kUninstallerName, error);
    for (const char* name : {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432"}) {
        if (const auto folder = Variable(environment, name)) {
            facts.programFilesFolders.push_back(*folder);
        }
    }
    return IsInstalledWindowsFolder(Utf8FromPath(fs::absolute(beside, error)), facts);
#else
    (void)environment; // the package manager's own layout says it
    return fs::is_regular_file(
        beside / ".." / "share" / "applications" / (std::string(QAL_APP_ID) + ".desktop"), error);
#endif
}

std::string SettingsDirectory(const std::string& executableDirectory,
                              const EnvironmentLookup& environment,
                              const DirectoryCheck& isWritable) {
    const fs::path beside = PathFromUtf8(executableDirectory.empty() ? "." : executableDirectory);
    const bool installed = IsInstalledProgramDirectory(executableDirectory, environment);
    std::error_code error;
#if defined(_WIN32)
    const bool configBeside = !installed && fs::exists(beside / "config.cfg", error);
#else
    const bool configBeside = fs::exists(beside / "config.cfg", error);
#endif
    if (configBeside || (!installed && isWritable(executableDirectory))) {
        return executableDirectory;
    }
    return UserSettingsDirectory(environment).value_or(executableDirectory);
}

std::string ExecutableDirectory() {
#if defined(_WIN32)
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) {
            return {};
        }
        if (length < name.size()) {
            name.resize(length);
            break;
        }
        name.resize(name.size() * 2); // cut short: try again with more room
    }
    const fs::path executable(name);
#else
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (error) {
        return {};
    }
#endif
    const std::string directory = Utf8FromPath(executable.parent_path());
    return directory.empty() ? directory
                             : directory + static_cast<char>(fs::path::preferred_separator);
}
