#include "ConfigFile.h"

#include "FileHandle.h"
#include "FileReplace.h"
#include "LittleEndian.h"
#include "Utf8Path.h"

#include <filesystem>
#include <string>
#include <system_error>

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace {

using SettingsBytes = std::array<std::uint8_t, kConfigFileSize>;

#if defined(_WIN32)

// Reading never waits: a pipe or device in the file's place holds no settings.
ConfigLoadResult ReadSettingsBytes(const std::filesystem::path& path, SettingsBytes& bytes) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return ConfigLoadResult::NotFound;
    }
    CFileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) {
        return ConfigLoadResult::NotFound;
    }
    if (GetFileType(file.Get()) != FILE_TYPE_DISK) {
        return ConfigLoadResult::NotFound;
    }
    DWORD received = 0;
    if (ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &received, nullptr) ==
        0) {
        return ConfigLoadResult::ReadError;
    }
    return received < bytes.size() ? ConfigLoadResult::NotFound : ConfigLoadResult::Read;
}

#else

// Opened without waiting and checked on the open file itself, so that a pipe put in the file's
// place (even between a check and the open) can never block start-up.
ConfigLoadResult ReadSettingsBytes(const std::filesystem::path& path, SettingsBytes& bytes) {
    const CFileHandle file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat info {};
    if (!file.IsOpen() || ::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return ConfigLoadResult::NotFound;
    }
    std::size_t received = 0;
    while (received < bytes.size()) {
        const ssize_t n = ::read(file.Get(), bytes.data() + received, bytes.size() - received);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return ConfigLoadResult::ReadError;
        }
        if (n == 0) {
            return ConfigLoadResult::NotFound;
        }
        received += static_cast<std::size_t>(n);
    }
    return ConfigLoadResult::Read;
}

#endif

} // namespace

std::array<std::uint8_t, kConfigFileSize> EncodeSettings(const ConnectionSettings& settings) {
    std::array<std::uint8_t, kConfigFileSize> bytes{};
    WriteI32LE(&bytes[0], settings.port);
    WriteI32LE(&bytes[4], settings.baudRate);
    WriteI32LE(&bytes[8], settings.deviceAddress);
    return bytes;
}

ConnectionSettings DecodeSettings(const std::array<std::uint8_t, kConfigFileSize>& bytes) {
    ConnectionSettings settings;
    settings.port = ReadI32LE(&bytes[0]);
    settings.baudRate = ReadI32LE(&bytes[4]);
    settings.deviceAddress = ReadI32LE(&bytes[8]);
    return settings;
}

ConfigLoadResult LoadConfigFile(const std::string& path, ConnectionSettings& settings) {
    settings = ConnectionSettings{};
    SettingsBytes bytes{};
    const ConfigLoadResult result = ReadSettingsBytes(PathFromUtf8(path), bytes);
    if (result == ConfigLoadResult::Read) {
        settings = DecodeSettings(bytes);
    }
    return result;
}

ConfigSaveResult SaveConfigFile(const std::string& path, const ConnectionSettings& settings) {
    const std::filesystem::path filePath = PathFromUtf8(path);
    // The settings folder of an installed program is made at the first save. A folder that
    // cannot be made shows as the temporary file failing to open.
    std::error_code ignored;
    std::filesystem::create_directories(filePath.parent_path(), ignored);
    const auto bytes = EncodeSettings(settings);
    std::error_code error;
    switch (ReplaceFileContent(filePath, bytes.data(), bytes.size(), error)) {
    case FileReplaceResult::Written:
        return ConfigSaveResult::Written;
    case FileReplaceResult::NotAFile:
    case FileReplaceResult::CannotCreate:
        return ConfigSaveResult::CannotOpen;
    case FileReplaceResult::WriteError:
        break;
    }
    return ConfigSaveResult::WriteError;
}
