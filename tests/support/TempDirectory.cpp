#include "TempDirectory.h"

#include <stdlib.h>

#include <filesystem>
#include <system_error>

CTempDirectory::CTempDirectory(const char* prefix) {
    std::error_code error;
    const std::filesystem::path base = std::filesystem::temp_directory_path(error);
    std::string pattern =
        (error ? std::filesystem::path("/tmp") : base).string() + "/" + prefix + "-XXXXXX";
    if (::mkdtemp(pattern.data()) != nullptr) {
        m_strPath = pattern;
    }
}

CTempDirectory::~CTempDirectory() {
    if (!m_strPath.empty()) {
        std::error_code ignored; // a leftover temporary directory is no reason to fail a test
        std::filesystem::remove_all(m_strPath, ignored);
    }
}
