#pragma once

#include "ReadingSample.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

// The readings as CSV, one line each: local time, reading number, speed in m/s with a decimal
// point whatever the locale, status byte in hex, failure flag, outputs 1-3.
std::string ReadingCsvHeader();
std::string ReadingCsvLine(const std::string& isoTime, const ReadingSample& reading);

// Writes readings to a CSV file, appending to what it holds (a header first in a new or empty
// file). Each line is flushed as written, so that a crash loses at most the line being written.
// A failed write closes the file: recording ends there.
class CReadingRecorder {
public:
    // False when the file cannot be opened or its header not written; nothing is open then.
    bool Open(const std::string& utf8Path);
    bool IsOpen() const { return m_file != nullptr; }
    // True when the file was new or empty at Open.
    bool Created() const { return m_bCreated; }
    const std::string& Path() const { return m_path; }

    bool Write(std::int64_t timeMs, const ReadingSample& reading);
    void Close();

private:
    bool WriteLine(const std::string& line);

    struct FileCloser {
        void operator()(std::FILE* file) const {
            (void)std::fclose(file); // each line was flushed; nothing is left to lose
        }
    };
    std::unique_ptr<std::FILE, FileCloser> m_file;
    std::string m_path;
    bool m_bCreated = false;
};
