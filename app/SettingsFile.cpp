#include "SettingsFile.h"

#include "Utf8Path.h"

#include <chrono>
#include <filesystem>
#include <string>
#include <system_error>

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace {

void PutLittleEndian(std::uint8_t* out, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<std::uint8_t>(bits >> (8 * i));
    }
}

std::int32_t GetLittleEndian(const std::uint8_t* in) {
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) {
        bits |= static_cast<std::uint32_t>(in[i]) << (8 * i);
    }
    return static_cast<std::int32_t>(bits);
}

using SettingsBytes = std::array<std::uint8_t, kSettingsFileSize>;

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
// The next save removes such leftovers: only regular files of exactly that name pattern and
// size, and only old ones, since a young one may be another instance's save under way.
void RemoveStaleTemporaries(const std::filesystem::path& target) {
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
            std::filesystem::file_size(entry, checkError) > kSettingsFileSize || checkError) {
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

class CWinHandle {
public:
    explicit CWinHandle(HANDLE handle) : m_handle(handle) {}
    ~CWinHandle() { Close(); }
    CWinHandle(const CWinHandle&) = delete;
    CWinHandle& operator=(const CWinHandle&) = delete;
    bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_handle; }
    void Reset(HANDLE handle) {
        Close();
        m_handle = handle;
    }
    bool Close() {
        const bool closed = !IsOpen() || CloseHandle(m_handle) != 0;
        m_handle = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE m_handle;
};

// Reading never waits: a pipe or device in the file's place holds no settings.
SettingsLoadResult ReadSettingsBytes(const std::filesystem::path& path, SettingsBytes& bytes) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return SettingsLoadResult::NotFound;
    }
    CWinHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) {
        return SettingsLoadResult::NotFound;
    }
    if (GetFileType(file.Get()) != FILE_TYPE_DISK) {
        return SettingsLoadResult::NotFound;
    }
    DWORD received = 0;
    if (ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &received, nullptr) ==
        0) {
        return SettingsLoadResult::ReadError;
    }
    return received < bytes.size() ? SettingsLoadResult::NotFound : SettingsLoadResult::Read;
}

SettingsSaveResult ReplaceSettingsBytes(const std::filesystem::path& target,
                                        const SettingsBytes& bytes) {
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return SettingsSaveResult::CannotOpen;
    }
    std::filesystem::path temporary;
    CWinHandle file(INVALID_HANDLE_VALUE);
    for (int attempt = 0; attempt < 8 && !file.IsOpen(); ++attempt) {
        temporary = TemporaryBeside(target, attempt);
        file.Reset(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.IsOpen() && GetLastError() != ERROR_FILE_EXISTS) {
            break;
        }
    }
    if (!file.IsOpen()) {
        return SettingsSaveResult::CannotOpen;
    }
    DWORD written = 0;
    const bool stored = WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                  &written, nullptr) != 0 &&
                        written == bytes.size() && FlushFileBuffers(file.Get()) != 0;
    if (!file.Close() || !stored ||
        MoveFileExW(temporary.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
        // The old file is untouched; the half-made new one must not stay beside it.
        static_cast<void>(DeleteFileW(temporary.c_str()));
        return SettingsSaveResult::WriteError;
    }
    RemoveStaleTemporaries(target);
    return SettingsSaveResult::Written;
}

#else

class CFd {
public:
    explicit CFd(int fd) : m_fd(fd) {}
    ~CFd() { Close(); }
    CFd(const CFd&) = delete;
    CFd& operator=(const CFd&) = delete;
    bool IsOpen() const { return m_fd >= 0; }
    int Get() const { return m_fd; }
    void Reset(int fd) {
        Close();
        m_fd = fd;
    }
    bool Close() {
        const bool closed = m_fd < 0 || ::close(m_fd) == 0;
        m_fd = -1;
        return closed;
    }

private:
    int m_fd;
};

// Opened without waiting and checked on the open file itself, so that a pipe put in the file's
// place (even between a check and the open) can never block start-up.
SettingsLoadResult ReadSettingsBytes(const std::filesystem::path& path, SettingsBytes& bytes) {
    const CFd file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat info {};
    if (!file.IsOpen() || ::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return SettingsLoadResult::NotFound;
    }
    std::size_t received = 0;
    while (received < bytes.size()) {
        const ssize_t n = ::read(file.Get(), bytes.data() + received, bytes.size() - received);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return SettingsLoadResult::ReadError;
        }
        if (n == 0) {
            return SettingsLoadResult::NotFound;
        }
        received += static_cast<std::size_t>(n);
    }
    return SettingsLoadResult::Read;
}

// A settings path that is a link (settings kept elsewhere on purpose) keeps its link: the file
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

bool WriteAll(int fd, const SettingsBytes& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// The new content goes to a file beside the old one, reaches the disk, and replaces the old
// file by one rename: a crash at any moment leaves either the old or the new 12 bytes.
SettingsSaveResult ReplaceSettingsBytes(const std::filesystem::path& path,
                                        const SettingsBytes& bytes) {
    const std::filesystem::path target = FollowLinks(path);
    struct stat old {};
    const bool hadFile = ::lstat(target.c_str(), &old) == 0;
    if (hadFile && !S_ISREG(old.st_mode)) {
        return SettingsSaveResult::CannotOpen; // a pipe, device or folder: never written
    }
    std::filesystem::path temporary;
    CFd file(-1);
    for (int attempt = 0; attempt < 8 && !file.IsOpen(); ++attempt) {
        temporary = TemporaryBeside(target, attempt);
        file.Reset(
            ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (!file.IsOpen() && errno != EEXIST) {
            break;
        }
    }
    if (!file.IsOpen()) {
        return SettingsSaveResult::CannotOpen;
    }
    if (hadFile) {
        // The replacement keeps the old file's permissions and, where allowed, its owner.
        // (Owner first: a change of owner may clear mode bits.)
        static_cast<void>(::fchown(file.Get(), old.st_uid, old.st_gid));
        static_cast<void>(::fchmod(file.Get(), old.st_mode & 07777));
    }
    const bool stored = WriteAll(file.Get(), bytes) && ::fsync(file.Get()) == 0;
    if (!file.Close() || !stored || ::rename(temporary.c_str(), target.c_str()) != 0) {
        // The old file is untouched; the half-made new one must not stay beside it.
        static_cast<void>(::unlink(temporary.c_str()));
        return SettingsSaveResult::WriteError;
    }
    // The rename itself reaches the disk with the folder. Failing here changes nothing the
    // program could act on: the file is already whole under its name.
    const CFd folder(::open(target.parent_path().empty() ? "." : target.parent_path().c_str(),
                            O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.IsOpen()) {
        static_cast<void>(::fsync(folder.Get()));
    }
    RemoveStaleTemporaries(target);
    return SettingsSaveResult::Written;
}

#endif

} // namespace

std::array<std::uint8_t, kSettingsFileSize> EncodeSettings(const ConnectionSettings& settings) {
    std::array<std::uint8_t, kSettingsFileSize> bytes{};
    PutLittleEndian(&bytes[0], settings.port);
    PutLittleEndian(&bytes[4], settings.baudRate);
    PutLittleEndian(&bytes[8], settings.deviceAddress);
    return bytes;
}

ConnectionSettings DecodeSettings(const std::array<std::uint8_t, kSettingsFileSize>& bytes) {
    ConnectionSettings settings;
    settings.port = GetLittleEndian(&bytes[0]);
    settings.baudRate = GetLittleEndian(&bytes[4]);
    settings.deviceAddress = GetLittleEndian(&bytes[8]);
    return settings;
}

SettingsLoadResult LoadSettingsFile(const std::string& path, ConnectionSettings& settings) {
    settings = ConnectionSettings{};
    SettingsBytes bytes{};
    const SettingsLoadResult result = ReadSettingsBytes(PathFromUtf8(path), bytes);
    if (result == SettingsLoadResult::Read) {
        settings = DecodeSettings(bytes);
    }
    return result;
}

SettingsSaveResult SaveSettingsFile(const std::string& path, const ConnectionSettings& settings) {
    const std::filesystem::path filePath = PathFromUtf8(path);
    // The settings folder of an installed program is made at the first save. A folder that
    // cannot be made shows as the temporary file failing to open.
    std::error_code ignored;
    std::filesystem::create_directories(filePath.parent_path(), ignored);
    return ReplaceSettingsBytes(filePath, EncodeSettings(settings));
}
