#include "SettingsFile.h"

#include "Utf8Path.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const {
        // Only reached on paths whose outcome is already decided: a failing close cannot change it.
        static_cast<void>(std::fclose(file));
    }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

void PutLittleEndian(std::uint8_t* out, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<std::uint8_t>(bits >> (8 * i));
    }
}

std::int32_t GetLittleEndian(const std::uint8_t* in) {
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) {
        bits |= static_cast<std::uint32_t>(in[i]) << (8 * i);
    }
    return static_cast<std::int32_t>(bits);
}

// A directory, pipe or device in place of the file counts as no file: opening a pipe could
// block start-up, and a directory holds no settings.
bool IsMissingOrNotAFile(const std::filesystem::path& path) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    return error || !std::filesystem::is_regular_file(status);
}

FileHandle OpenFile(const std::filesystem::path& path, bool forWriting) {
#if defined(_WIN32)
    // The wide call: a narrow name would be read in the ANSI code page.
    return FileHandle(_wfopen(path.c_str(), forWriting ? L"wb" : L"rb"));
#else
    return FileHandle(std::fopen(path.c_str(), forWriting ? "wb" : "rb"));
#endif
}

} // namespace

std::array<std::uint8_t, kSettingsFileSize> EncodeSettings(const ConnectionSettings& settings) {
    std::array<std::uint8_t, kSettingsFileSize> bytes{};
    PutLittleEndian(&bytes[0], settings.port);
    PutLittleEndian(&bytes[4], settings.baudRate);
    PutLittleEndian(&bytes[8], settings.deviceAddress);
    return bytes;
}

ConnectionSettings DecodeSettings(const std::array<std::uint8_t, kSettingsFileSize>& bytes) {
    ConnectionSettings settings;
    settings.port = GetLittleEndian(&bytes[0]);
    settings.baudRate = GetLittleEndian(&bytes[4]);
    settings.deviceAddress = GetLittleEndian(&bytes[8]);
    return settings;
}

SettingsLoadResult LoadSettingsFile(const std::string& path, ConnectionSettings& settings) {
    settings = ConnectionSettings{};
    const std::filesystem::path filePath = PathFromUtf8(path);
    if (IsMissingOrNotAFile(filePath)) {
        return SettingsLoadResult::NotFound;
    }
    const FileHandle file = OpenFile(filePath, false);
    if (!file) {
        return SettingsLoadResult::NotFound;
    }
    std::array<std::uint8_t, kSettingsFileSize> bytes{};
    const std::size_t received = std::fread(bytes.data(), 1, bytes.size(), file.get());
    if (received < bytes.size()) {
        return std::ferror(file.get()) ? SettingsLoadResult::ReadError
                                       : SettingsLoadResult::NotFound;
    }
    settings = DecodeSettings(bytes);
    return SettingsLoadResult::Read;
}

SettingsSaveResult SaveSettingsFile(const std::string& path, const ConnectionSettings& settings) {
    const std::filesystem::path filePath = PathFromUtf8(path);
    // The settings folder of an installed program is made at the first save. A folder that
    // cannot be made shows as the open failing.
    std::error_code ignored;
    std::filesystem::create_directories(filePath.parent_path(), ignored);
    FileHandle file = OpenFile(filePath, true);
    if (!file) {
        return SettingsSaveResult::CannotOpen;
    }
    const auto bytes = EncodeSettings(settings);
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
        return SettingsSaveResult::WriteError;
    }
    // The bytes may still sit in the stream's buffer: only the close tells whether they arrived.
    if (std::fclose(file.release()) != 0) {
        return SettingsSaveResult::WriteError;
    }
    return SettingsSaveResult::Written;
}
