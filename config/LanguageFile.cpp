#include "LanguageFile.h"

#include "FileHandle.h"
#include "FileReplace.h"
#include "Utf8Path.h"

#include <array>
#include <filesystem>
#include <string_view>

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace {

// More than any valid content: a longer file names no language.
constexpr std::size_t kMostBytes = 64;

#if defined(_WIN32)

// The start of a regular file; nothing for a pipe, device or folder.
std::optional<std::string> ReadStart(const std::filesystem::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return std::nullopt;
    }
    const CFileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen() || GetFileType(file.Get()) != FILE_TYPE_DISK) {
        return std::nullopt;
    }
    std::array<char, kMostBytes + 1> bytes{};
    DWORD received = 0;
    if (ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &received, nullptr) ==
        0) {
        return std::nullopt;
    }
    return std::string(bytes.data(), received);
}

#else

// The start of a regular file; nothing for a pipe, device or folder. Opened without waiting and
// checked on the open file itself, so that a pipe put in its place cannot block start-up.
std::optional<std::string> ReadStart(const std::filesystem::path& path) {
    const CFileHandle file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat info {};
    if (!file.IsOpen() || ::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    std::array<char, kMostBytes + 1> bytes{};
    std::size_t received = 0;
    while (received < bytes.size()) {
        const ssize_t n = ::read(file.Get(), bytes.data() + received, bytes.size() - received);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        received += static_cast<std::size_t>(n);
    }
    return std::string(bytes.data(), received);
}

#endif

// The code without the blanks and line breaks an editor may leave around it.
std::string_view Trimmed(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

} // namespace

std::optional<Language> LoadLanguageFile(const std::string& settingsDirectory) {
    const std::optional<std::string> content =
        ReadStart(PathFromUtf8(settingsDirectory + kLanguageFileName));
    if (!content || content->size() > kMostBytes) {
        return std::nullopt;
    }
    return LanguageFromCode(Trimmed(*content));
}

bool SaveLanguageFile(const std::string& settingsDirectory, Language language,
                      std::error_code& error) {
    const std::filesystem::path path = PathFromUtf8(settingsDirectory + kLanguageFileName);
    // The settings folder of an installed program is made at the first save; one that cannot be
    // made shows as the new file failing.
    std::error_code ignored;
    std::filesystem::create_directories(path.parent_path(), ignored);
    const std::string content = std::string(LanguageCode(language)) + "\n";
    return ReplaceFileContent(path, content.data(), content.size(), error) ==
           FileReplaceResult::Written;
}

Language ChooseLanguage(std::optional<Language> commandLine, std::optional<Language> file) {
    return commandLine.value_or(file.value_or(Language::Polish));
}
