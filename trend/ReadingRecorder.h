#pragma once

#include "AppendFile.h"
#include "ReadingSample.h"

#include <cstdint>
#include <string>
#include <system_error>

// Writes readings to a CSV file (see ReadingCsv), appending to what it holds (a header first in
// a new or empty file); only a regular file, never a pipe or device. Each line goes out as
// written, so that a crash loses at most the line being written; a line the disk took only
// part of is cut off again, so that the file ends with a whole line. A failed write closes the
// file: recording ends there.
class CReadingRecorder {
public:
    // False when the file cannot be opened or its header not written; nothing is open then, and
    // LastError says why.
    bool Open(const std::string& utf8Path);
    bool IsOpen() const { return m_file.IsOpen(); }
    // True when the file was new or empty at Open.
    bool Created() const { return m_bCreated; }
    const std::string& Path() const { return m_path; }
    // Why the last Open or Write failed.
    const std::error_code& LastError() const { return m_error; }

    bool Write(std::int64_t timeMs, const ReadingSample& reading);
    void Close();

private:
    bool WriteLine(std::string line);

    CAppendFile m_file;
    std::string m_path;
    bool m_bCreated = false;
    std::error_code m_error;
};
