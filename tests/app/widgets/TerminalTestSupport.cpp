#include "TerminalTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

void TempAppDir::WriteConfig(const std::vector<unsigned char>& bytes) const {
    std::ofstream file(ConfigPath(), std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(file.good());
}

std::vector<unsigned char> TempAppDir::ReadConfig() const {
    std::ifstream file(ConfigPath(), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<std::string> LogLines(const CTerminalDlg& dialog) {
    std::vector<std::string> lines;
    const std::string& text = dialog.Log().Text();
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos) {
            return lines;
        }
        start = end + 2;
    }
}

std::vector<unsigned char> SettingsBytes(int port, int baudRate, int address) {
    std::vector<unsigned char> bytes;
    for (const int value : {port, baudRate, address}) {
        const auto bits = static_cast<unsigned>(value);
        for (int shift = 0; shift < 32; shift += 8) {
            bytes.push_back(static_cast<unsigned char>(bits >> shift));
        }
    }
    return bytes;
}
