#pragma once

#include "FileHandle.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <system_error>

// A file that grows by whole pieces (lines of a recording): opened only when it is a regular
// file or none (never a pipe, which would block or feed another program), each piece appended
// whole or, when the disk fills half-way, cut back off again where the system lets it.
class CAppendFile {
public:
    // Made when missing. False, with the reason, when it cannot be opened or is no regular file.
    bool Open(const std::filesystem::path& path, std::error_code& error);
    bool IsOpen() const { return m_file.IsOpen(); }
    // Its size at Open.
    std::uint64_t SizeAtOpen() const { return m_sizeAtOpen; }
    // All of data at the end; false, with the reason, when not all of it could be written.
    bool Append(const void* data, std::size_t size, std::error_code& error);
    void Close() { static_cast<void>(m_file.Close()); } // each piece went out as written

private:
    CFileHandle m_file;
    std::uint64_t m_sizeAtOpen = 0;
};
