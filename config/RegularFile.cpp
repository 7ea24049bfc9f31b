#include "RegularFile.h"

#include "FileError.h"
#include "FileHandle.h"

#include <algorithm>

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

bool IsRegularOrAbsent(const std::filesystem::path& path, std::error_code& error) {
    error.clear();
    std::error_code lookError;
    const std::filesystem::file_status status = std::filesystem::status(path, lookError);
    if (status.type() == std::filesystem::file_type::not_found ||
        status.type() == std::filesystem::file_type::regular) {
        return true;
    }
    if (status.type() == std::filesystem::file_type::directory) {
        error = std::make_error_code(std::errc::is_a_directory);
        return false;
    }
    if (lookError) {
        error = lookError; // a folder on the way that cannot be read, a loop of links
        return false;
    }
#if defined(_WIN32)
    // Devices such as "NUL" or "COM1" show as files to the calls above: ask an open handle.
    const CFileHandle file(CreateFileW(path.c_str(), 0,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen() || GetFileType(file.Get()) == FILE_TYPE_DISK) {
        return true;
    }
#endif
    error = FileErrc::NotRegular;
    return false;
}

#if defined(_WIN32)

RegularFileRead ReadRegularFile(const std::filesystem::path& path, std::size_t limit,
                                std::string& content, std::error_code& error) {
    content.clear();
    error.clear();
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        error = std::make_error_code(std::errc::is_a_directory);
        return RegularFileRead::CannotOpen;
    }
    const CFileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) {
        error = std::error_code(static_cast<int>(GetLastError()), std::system_category());
        return RegularFileRead::CannotOpen;
    }
    if (GetFileType(file.Get()) != FILE_TYPE_DISK) {
        error = FileErrc::NotRegular;
        return RegularFileRead::CannotOpen;
    }
    while (content.size() < limit) {
        char buffer[65536];
        const DWORD wanted =
            static_cast<DWORD>(std::min<std::size_t>(sizeof buffer, limit - content.size()));
        DWORD received = 0;
        if (ReadFile(file.Get(), buffer, wanted, &received, nullptr) == 0) {
            error = std::error_code(static_cast<int>(GetLastError()), std::system_category());
            return RegularFileRead::ReadError;
        }
        if (received == 0) {
            break;
        }
        content.append(buffer, received);
    }
    return RegularFileRead::Read;
}

#else

RegularFileRead ReadRegularFile(const std::filesystem::path& path, std::size_t limit,
                                std::string& content, std::error_code& error) {
    content.clear();
    error.clear();
    const CFileHandle file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat info {};
    if (!file.IsOpen() || ::fstat(file.Get(), &info) != 0) {
        const std::error_code openError(errno, std::generic_category());
        // A socket cannot be opened at all; say what it is rather than the open's reason.
        if (file.IsOpen() || IsRegularOrAbsent(path, error)) {
            error = openError;
        }
        return RegularFileRead::CannotOpen;
    }
    if (!S_ISREG(info.st_mode)) {
        error = S_ISDIR(info.st_mode) ? std::make_error_code(std::errc::is_a_directory)
                                      : make_error_code(FileErrc::NotRegular);
        return RegularFileRead::CannotOpen;
    }
    while (content.size() < limit) {
        char buffer[65536];
        const std::size_t wanted = std::min(sizeof buffer, limit - content.size());
        const ssize_t n = ::read(file.Get(), buffer, wanted);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            error = std::error_code(errno, std::generic_category());
            return RegularFileRead::ReadError;
        }
        if (n == 0) {
            break;
        }
        content.append(buffer, static_cast<std::size_t>(n));
    }
    return RegularFileRead::Read;
}

#endif
