#include "FileReplace.h"

#include "FileError.h"
#include "RegularFile.h"

#include <algorithm>
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

std::error_code LastError() {
    return {static_cast<int>(GetLastError()), std::system_category()};
}

class CSystemCalls final : public IFileReplaceCalls {
public:
    bool Flush(CFileHandle::Native file) const override { return FlushFileBuffers(file) != 0; }
    bool Rename(const std::filesystem::path& from, const std::filesystem::path& to) const override {
        return MoveFileExW(from.c_str(), to.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    }
};

std::filesystem::path FollowLinks(std::filesystem::path path) {
    return path; // Windows users do not keep config.cfg behind a link
}

CFileHandle::Native CreateTemporary(const std::filesystem::path& temporary) {
    return CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool Exists(DWORD error) {
    return error == ERROR_FILE_EXISTS;
}

void KeepPermissions(const CFileHandle&, const std::filesystem::path&) {}

bool WriteAll(CFileHandle::Native file, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        DWORD written = 0;
        if (WriteFile(file, data, chunk, &written, nullptr) == 0) {
            return false;
        }
        if (written == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

bool SizeOf(CFileHandle::Native file, std::uintmax_t& size) {
    LARGE_INTEGER value{};
    if (GetFileSizeEx(file, &value) == 0) {
        return false;
    }
    size = static_cast<std::uintmax_t>(value.QuadPart);
    return true;
}

void RemoveFile(const std::filesystem::path& path) {
    static_cast<void>(DeleteFileW(path.c_str()));
}

void FlushFolder(const std::filesystem::path&) {} // MOVEFILE_WRITE_THROUGH did it

#else

std::error_code LastError() {
    return {errno, std::generic_category()};
}

class CSystemCalls final : public IFileReplaceCalls {
public:
    bool Flush(CFileHandle::Native file) const override { return ::fsync(file) == 0; }
    bool Rename(const std::filesystem::path& from, const std::filesystem::path& to) const override {
        return ::rename(from.c_str(), to.c_str()) == 0;
    }
};

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

CFileHandle::Native CreateTemporary(const std::filesystem::path& temporary) {
    return ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
}

bool Exists(int error) {
    return error == EEXIST;
}

// The replacement keeps the old file's permissions and, where allowed, its owner. (Owner first: a
// change of owner may clear mode bits.) Failing leaves the new file as the system made it.
void KeepPermissions(const CFileHandle& file, const std::filesystem::path& target) {
    struct stat old {};
    if (::lstat(target.c_str(), &old) != 0) {
        return;
    }
    static_cast<void>(::fchown(file.Get(), old.st_uid, old.st_gid));
    static_cast<void>(::fchmod(file.Get(), old.st_mode & 07777));
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

bool SizeOf(int fd, std::uintmax_t& size) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return false;
    }
    size = static_cast<std::uintmax_t>(info.st_size);
    return true;
}

void RemoveFile(const std::filesystem::path& path) {
    static_cast<void>(::unlink(path.c_str()));
}

// The rename itself reaches the disk with the folder. Failing here changes nothing the program
// could act on: the file is already whole under its name.
void FlushFolder(const std::filesystem::path& target) {
    const CFileHandle folder(
        ::open(target.parent_path().empty() ? "." : target.parent_path().c_str(),
               O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.IsOpen()) {
        static_cast<void>(::fsync(folder.Get()));
    }
}

#endif

} // namespace

const IFileReplaceCalls& SystemFileReplaceCalls() {
    static const CSystemCalls calls; // stateless
    return calls;
}

CFileReplacement::~CFileReplacement() {
    Discard();
}

void CFileReplacement::Discard() {
    static_cast<void>(m_file.Close());
    if (!m_temporary.empty()) {
        // The old file is untouched; the half-made new one must not stay beside it.
        RemoveFile(m_temporary);
        m_temporary.clear();
    }
}

FileReplaceResult CFileReplacement::Begin(const std::filesystem::path& path,
                                          std::error_code& error) {
    Discard();
    error.clear();
    m_written = 0;
    m_writeError.clear();
    m_target = FollowLinks(path);
    if (!IsRegularOrAbsent(m_target, error)) {
        return FileReplaceResult::NotAFile;
    }
    for (int attempt = 0; attempt < 8 && !m_file.IsOpen(); ++attempt) {
        m_temporary = TemporaryBeside(m_target, attempt);
        m_file.Reset(CreateTemporary(m_temporary));
        if (!m_file.IsOpen()) {
            error = LastError();
            if (!Exists(error.value())) {
                break;
            }
        }
    }
    if (!m_file.IsOpen()) {
        m_temporary.clear(); // none was made
        return FileReplaceResult::CannotCreate;
    }
    error.clear();
    KeepPermissions(m_file, m_target);
    return FileReplaceResult::Written;
}

void CFileReplacement::Write(const void* data, std::size_t size) {
    if (!m_file.IsOpen() || m_writeError) {
        return;
    }
    if (!WriteAll(m_file.Get(), static_cast<const std::uint8_t*>(data), size)) {
        m_writeError = LastError();
        return;
    }
    m_written += size;
}

FileReplaceResult CFileReplacement::Commit(std::error_code& error) {
    error.clear();
    if (!m_file.IsOpen()) {
        error = m_writeError ? m_writeError : std::make_error_code(std::errc::bad_file_descriptor);
        return FileReplaceResult::WriteError;
    }
    std::uintmax_t size = 0;
    if (m_writeError) {
        error = m_writeError;
    } else if (!m_calls.Flush(m_file.Get())) {
        error = LastError();
    } else if (!SizeOf(m_file.Get(), size)) {
        error = LastError();
    } else if (size != m_written) {
        error = FileErrc::Incomplete;
    } else if (!m_file.Close()) {
        // Some file systems report a failed write only here: such a file must not replace the
        // old one.
        error = LastError();
    } else if (!m_calls.Rename(m_temporary, m_target)) {
        error = LastError();
    }
    if (error) {
        Discard();
        return FileReplaceResult::WriteError;
    }
    m_temporary.clear(); // it is the file now
    FlushFolder(m_target);
    RemoveStaleTemporaries(m_target, m_written);
    return FileReplaceResult::Written;
}

FileReplaceResult ReplaceFileContent(const std::filesystem::path& path, const void* data,
                                     std::size_t size, std::error_code& error) {
    CFileReplacement replacement;
    const FileReplaceResult begun = replacement.Begin(path, error);
    if (begun != FileReplaceResult::Written) {
        return begun;
    }
    replacement.Write(data, size);
    return replacement.Commit(error);
}
