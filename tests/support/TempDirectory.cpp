#include "TempDirectory.h"

#include <filesystem>
#include <random>
#include <system_error>

#if !defined(_WIN32)
#include <stdlib.h>
#endif

namespace fs = std::filesystem;

namespace {

fs::path TempBase() {
    std::error_code error;
    const fs::path base = fs::temp_directory_path(error);
    return error ? fs::path("/tmp") : base;
}

// The path as UTF-8, with forward slashes (which Windows accepts too), so that tests can
// build paths from it by appending "/" and a name.
std::string Utf8(const fs::path& path) {
    const std::u8string text = path.generic_u8string();
    return std::string(text.begin(), text.end());
}

} // namespace

CTempDirectory::CTempDirectory(const char* prefix) {
#if defined(_WIN32)
    // No mkdtemp: a random name, created only when it does not exist yet.
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100 && m_strPath.empty(); ++attempt) {
        const fs::path candidate = TempBase() / (prefix + ("-" + std::to_string(random())));
        std::error_code error;
        if (fs::create_directory(candidate, error)) {
            m_strPath = Utf8(candidate);
        }
    }
#else
    std::string pattern = Utf8(TempBase()) + "/" + prefix + "-XXXXXX";
    if (::mkdtemp(pattern.data()) != nullptr) {
        m_strPath = pattern;
    }
#endif
}

CTempDirectory::~CTempDirectory() {
    if (!m_strPath.empty()) {
        std::error_code ignored; // a leftover temporary directory is no reason to fail a test
        fs::remove_all(fs::path(std::u8string(m_strPath.begin(), m_strPath.end())), ignored);
    }
}
