#include "ConfigFile.h"

#include "FileReplace.h"
#include "LittleEndian.h"
#include "RegularFile.h"
#include "Utf8Path.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>

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
    // Never waits: a pipe or device in the file's place holds no settings.
    std::string content;
    std::error_code error;
    switch (ReadRegularFile(PathFromUtf8(path), kConfigFileSize, content, error)) {
    case RegularFileRead::Read:
        break;
    case RegularFileRead::CannotOpen:
        return ConfigLoadResult::NotFound;
    case RegularFileRead::ReadError:
        return ConfigLoadResult::ReadError;
    }
    if (content.size() < kConfigFileSize) {
        return ConfigLoadResult::NotFound;
    }
    std::array<std::uint8_t, kConfigFileSize> bytes{};
    std::copy_n(content.begin(), kConfigFileSize, bytes.begin());
    settings = DecodeSettings(bytes);
    return ConfigLoadResult::Read;
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
