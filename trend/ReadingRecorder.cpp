#include "ReadingRecorder.h"

#include "LocalTimeText.h"
#include "Utf8Path.h"

#include <cstdlib>

namespace {

std::FILE* OpenForAppending(const std::string& utf8Path) {
#ifdef _WIN32
    return _wfopen(PathFromUtf8(utf8Path).c_str(), L"ab");
#else
    return std::fopen(utf8Path.c_str(), "ab");
#endif
}

} // namespace

std::string ReadingCsvHeader() {
    return "czas,nr odczytu,prędkość [m/s],status,awaria,wyjście 1,wyjście 2,wyjście 3\n";
}

std::string ReadingCsvLine(const std::string& isoTime, const ReadingSample& reading) {
    // Integer arithmetic only: no locale's decimal comma can creep in.
    const int tenths = reading.speedTenths;
    const int magnitude = std::abs(tenths);
    char text[96];
    std::snprintf(text, sizeof text, "%s,%u,%s%d.%d,0x%02X,%d,%d,%d,%d\n", isoTime.c_str(),
                  static_cast<unsigned>(reading.readingNo), tenths < 0 ? "-" : "", magnitude / 10,
                  magnitude % 10, static_cast<unsigned>(reading.status), reading.failure ? 1 : 0,
                  reading.outputs[0] ? 1 : 0, reading.outputs[1] ? 1 : 0,
                  reading.outputs[2] ? 1 : 0);
    return text;
}

bool CReadingRecorder::Open(const std::string& utf8Path) {
    Close();
    m_file.reset(OpenForAppending(utf8Path));
    if (!m_file) {
        return false;
    }
    m_path = utf8Path;
    // Appending puts the position at the end only at the first write: look there now.
    m_bCreated = std::fseek(m_file.get(), 0, SEEK_END) == 0 && std::ftell(m_file.get()) == 0;
    return !m_bCreated || WriteLine(ReadingCsvHeader());
}

bool CReadingRecorder::Write(std::int64_t timeMs, const ReadingSample& reading) {
    return m_file && WriteLine(ReadingCsvLine(FormatLocalIsoTime(timeMs), reading));
}

bool CReadingRecorder::WriteLine(const std::string& line) {
    if (std::fputs(line.c_str(), m_file.get()) < 0 || std::fflush(m_file.get()) != 0) {
        Close();
        return false;
    }
    return true;
}

void CReadingRecorder::Close() {
    m_file.reset();
}
