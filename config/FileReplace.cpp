#include "FileReplace.h"

#include "FileHandle.h"

#include <chrono>
#include <cstdint>
#include <string>

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace {

// A name for the new content beside the file, so that the final rename stays in one folder
// (and one file system). Unique enough with the time; a clash is retried by the caller.
std::filesystem::path TemporaryBeside(const std::filesystem::path& target, int attempt) {
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    std::filesystem::path name = target;
    name += ".tmp-" + std::to_string(ticks) + "-" + std::to_string(attempt);
    return name;
}

// Whether name is "<file>.tmp-<digits>-<digits>", as TemporaryBeside makes them for file.
template <typename String> bool IsTemporaryName(const String& name, const String& file) {
    using Char = typename String::value_type;
    const String prefix = file + String{Char('.'), Char('t'), Char('m'), Char('p'), Char('-')};
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) {
        return false;
    }
    int dashes = 0;
    bool digitBefore = false;
    for (std::size_t i = prefix.size(); i < name.size(); ++i) {
        const Char c = name[i];
        if (c >= Char('0') && c <= Char('9')) {
            digitBefore = true;
        } else if (c == Char('-') && digitBefore && dashes == 0) {
            ++dashes;
            digitBefore = false;
        } else {
            return false;
        }
    }
    return dashes == 1 && digitBefore;
}

// A save killed between making its temporary file and the rename leaves that file behind.
// The next replacement removes such leftovers: only regular files of exactly that name pattern and
// size, and only old ones, since a young one may be another instance's save under way.
void RemoveStaleTemporaries(const std::filesystem::path& target, std::uintmax_t maxSize) {
    constexpr auto kStaleAfter = std::chrono::minutes(1);
    const std::filesystem::path folder =
        target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
    const auto file = target.filename().native();
    const auto now = std::filesystem::file_time_type::clock::now();
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::filesystem::path& entry = it->path();
        if (!IsTemporaryName(entry.filename().native(), file)) {
            continue;
        }
        // Each check failing leaves the file: nothing here may remove what is not ours.
        std::error_code checkError;
        if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(entry, checkError)) ||
            std::filesystem::file_size(entry, checkError) > maxSize || checkError) {
            continue;
        }
        const auto written = std::filesystem::last_write_time(entry, checkError);
        if (checkError || now - written < kStaleAfter) {
            continue;
        }
        std::filesystem::remove(entry, checkError); // one that cannot go is tried next time
    }
}

#if defined(_WIN32)

FileReplaceResult Replace(const std::filesystem::path& target, const std::uint8_t* data,
                          std::size_t size, std::error_code& error) {
    const auto lastError = [&error] {
        error = std::error_code(static_cast<int>(GetLastError()), std::system_category());
    };
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        error = std::make_error_code(std::errc::is_a_directory);
        return FileReplaceResult::NotAFile;
    }
    std::filesystem::path temporary;
    CFileHandle file;
    for (int attempt = 0; attempt < 8 && !file.IsOpen(); ++attempt) {
        temporary = TemporaryBeside(target, attempt);
        file.Reset(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.IsOpen() && GetLastError() != ERROR_FILE_EXISTS) {
            break;
        }
    }
    if (!file.IsOpen()) {
        lastError();
        return FileReplaceResult::CannotCreate;
    }
    DWORD written = 0;
    bool stored = WriteFile(file.Get(), data, static_cast<DWORD>(size), &written, nullptr) != 0 &&
                  written == size && FlushFileBuffers(file.Get()) != 0;
    if (!stored) {
        lastError();
    }
    if (!file.Close() && stored) {
        lastError();
        stored = false;
    }
    if (stored && MoveFileExW(temporary.c_str(), target.c_str(),
                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
        lastError();
        stored = false;
    }
    if (!stored) {
        // The old file is untouched; the half-made new one must not stay beside it.
        static_cast<void>(DeleteFileW(temporary.c_str()));
        return FileReplaceResult::WriteError;
    }
    RemoveStaleTemporaries(target, size);
    return FileReplaceResult::Written;
}

#else

// A path that is a link (a file kept elsewhere on purpose) keeps its link: the file
// it leads to gets the new content, also when that file does not exist yet.
std::filesystem::path FollowLinks(std::filesystem::path path) {
    for (int depth = 0; depth < 40; ++depth) {
        std::error_code error;
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, error))) {
            return path;
        }
        const std::filesystem::path target = std::filesystem::read_symlink(path, error);
        if (error) {
            return path;
        }
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return path; // a loop: the save fails on it below
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
    std::size_t written = 0;
    while (written < size) {
        const ssize_t n = ::write(fd, data + written, size - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = EIO; // a write that takes nothing and says nothing
            }
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

FileReplaceResult Replace(const std::filesystem::path& path, const std::uint8_t* data,
                          std::size_t size, std::error_code& error) {
    const auto lastError = [&error] { error = std::error_code(errno, std::generic_category()); };
    const std::filesystem::path target = FollowLinks(path);
    struct stat old {};
    const bool hadFile = ::lstat(target.c_str(), &old) == 0;
    if (hadFile && !S_ISREG(old.st_mode)) {
        error = std::make_error_code(S_ISDIR(old.st_mode) ? std::errc::is_a_directory
                                                          : std::errc::invalid_argument);
        return FileReplaceResult::NotAFile;
    }
    std::filesystem::path temporary;
    CFileHandle file;
    for (int attempt = 0; attempt < 8 && !file.IsOpen(); ++attempt) {
        temporary = TemporaryBeside(target, attempt);
        file.Reset(
            ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (!file.IsOpen() && errno != EEXIST) {
            break;
        }
    }
    if (!file.IsOpen()) {
        lastError();
        return FileReplaceResult::CannotCreate;
    }
    if (hadFile) {
        // The replacement keeps the old file's permissions and, where allowed, its owner.
        // (Owner first: a change of owner may clear mode bits.)
        static_cast<void>(::fchown(file.Get(), old.st_uid, old.st_gid));
        static_cast<void>(::fchmod(file.Get(), old.st_mode & 07777));
    }
    // close() reports write errors that some file systems defer: such a file must not replace
    // the old one.
    bool stored = WriteAll(file.Get(), data, size) && ::fsync(file.Get()) == 0;
    if (!stored) {
        lastError();
    }
    if (!file.Close() && stored) {
        lastError();
        stored = false;
    }
    if (stored && ::rename(temporary.c_str(), target.c_str()) != 0) {
        lastError();
        stored = false;
    }
    if (!stored) {
        // The old file is untouched; the half-made new one must not stay beside it.
        static_cast<void>(::unlink(temporary.c_str()));
        return FileReplaceResult::WriteError;
    }
    // The rename itself reaches the disk with the folder. Failing here changes nothing the
    // program could act on: the file is already whole under its name.
    const CFileHandle folder(
        ::open(target.parent_path().empty() ? "." : target.parent_path().c_str(),
               O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.IsOpen()) {
        static_cast<void>(::fsync(folder.Get()));
    }
    RemoveStaleTemporaries(target, size);
    return FileReplaceResult::Written;
}

#endif

} // namespace

FileReplaceResult ReplaceFileContent(const std::filesystem::path& path, const void* data,
                                     std::size_t size, std::error_code& error) {
    error.clear();
    return Replace(path, static_cast<const std::uint8_t*>(data), size, error);
}
