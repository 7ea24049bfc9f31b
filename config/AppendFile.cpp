#include "AppendFile.h"

#include "FileError.h"
#include "RegularFile.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

#if defined(_WIN32)

namespace {

std::error_code LastError() {
    return {static_cast<int>(GetLastError()), std::system_category()};
}

bool SizeOf(HANDLE file, std::uint64_t& size) {
    LARGE_INTEGER value{};
    if (GetFileSizeEx(file, &value) == 0) {
        return false;
    }
    size = static_cast<std::uint64_t>(value.QuadPart);
    return true;
}

} // namespace

bool CAppendFile::Open(const std::filesystem::path& path, std::error_code& error) {
    Close();
    if (!IsRegularOrAbsent(path, error)) {
        return false;
    }
    m_file.Reset(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!m_file.IsOpen()) {
        error = LastError();
        return false;
    }
    if (GetFileType(m_file.Get()) != FILE_TYPE_DISK) {
        Close();
        error = FileErrc::NotRegular;
        return false;
    }
    if (!SizeOf(m_file.Get(), m_sizeAtOpen)) {
        error = LastError();
        Close();
        return false;
    }
    return true;
}

bool CAppendFile::Append(const void* data, std::size_t size, std::error_code& error) {
    std::uint64_t before = 0;
    LARGE_INTEGER end{};
    if (!SizeOf(m_file.Get(), before) ||
        SetFilePointerEx(m_file.Get(), LARGE_INTEGER{}, &end, FILE_END) == 0) {
        error = LastError();
        return false;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    while (size > 0) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(size > 0x40000000u ? 0x40000000u : size);
        const bool wrote = WriteFile(m_file.Get(), bytes, chunk, &written, nullptr) != 0;
        if (!wrote || written == 0) {
            error = wrote ? std::make_error_code(std::errc::io_error) : LastError();
            LARGE_INTEGER start{};
            start.QuadPart = static_cast<LONGLONG>(before);
            // Cut back what went out of the piece; failing, the part stays.
            if (SetFilePointerEx(m_file.Get(), start, nullptr, FILE_BEGIN) != 0) {
                static_cast<void>(SetEndOfFile(m_file.Get()));
            }
            return false;
        }
        bytes += written;
        size -= written;
    }
    return true;
}

#else

bool CAppendFile::Open(const std::filesystem::path& path, std::error_code& error) {
    Close();
    if (!IsRegularOrAbsent(path, error)) {
        return false;
    }
    // Without waiting, and checked on the open file itself: a pipe put in its place after the
    // check above must not block or be written either.
    m_file.Reset(::open(path.c_str(),
                        O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666));
    struct stat info {};
    if (!m_file.IsOpen() || ::fstat(m_file.Get(), &info) != 0) {
        error = {errno, std::generic_category()};
        Close();
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        Close();
        error = FileErrc::NotRegular;
        return false;
    }
    m_sizeAtOpen = static_cast<std::uint64_t>(info.st_size);
    return true;
}

bool CAppendFile::Append(const void* data, std::size_t size, std::error_code& error) {
    struct stat info {};
    if (::fstat(m_file.Get(), &info) != 0) {
        error = {errno, std::generic_category()};
        return false;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::size_t written = 0;
    while (written < size) {
        const ssize_t n = ::write(m_file.Get(), bytes + written, size - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            error = n == 0 ? std::make_error_code(std::errc::io_error)
                           : std::error_code(errno, std::generic_category());
            // Cut back what went out of the piece (a full disk takes part of a line); failing,
            // the part stays.
            if (written > 0) {
                static_cast<void>(::ftruncate(m_file.Get(), info.st_size));
            }
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

#endif
