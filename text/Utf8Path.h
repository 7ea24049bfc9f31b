#pragma once

#include <filesystem>
#include <string>

// Paths travel through the program as UTF-8 strings and reach the file system through these:
// on Windows a narrow path would be read in the ANSI code page, which garbles names such as
// "Użytkownik".
inline std::filesystem::path PathFromUtf8(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string Utf8FromPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}
