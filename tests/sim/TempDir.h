#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

// A fresh directory, removed with everything in it at the end of the test.
class CTempDir {
public:
    CTempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "qal-sim-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            m_path = pattern;
        }
    }
    ~CTempDir() {
        std::error_code ignored; // a leftover in /tmp must not fail a test
        std::filesystem::remove_all(m_path, ignored);
    }
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};
