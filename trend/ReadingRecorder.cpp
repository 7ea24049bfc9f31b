#include "ReadingRecorder.h"

#include "LocalTimeText.h"
#include "ReadingCsv.h"
#include "Utf8Path.h"

bool CReadingRecorder::Open(const std::string& utf8Path) {
    Close();
    m_error.clear();
    if (!m_file.Open(PathFromUtf8(utf8Path), m_error)) {
        return false;
    }
    m_path = utf8Path;
    m_bCreated = m_file.SizeAtOpen() == 0;
    return !m_bCreated || WriteLine(ReadingCsvHeader());
}

bool CReadingRecorder::Write(std::int64_t timeMs, const ReadingSample& reading) {
    return m_file.IsOpen() && WriteLine(ReadingCsvLine(FormatLocalIsoTime(timeMs), reading));
}

bool CReadingRecorder::WriteLine(std::string line) {
    line += '\n';
    if (!m_file.Append(line.data(), line.size(), m_error)) {
        Close();
        return false;
    }
    return true;
}

void CReadingRecorder::Close() {
    m_file.Close();
}
