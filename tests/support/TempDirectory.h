#pragma once

#include <string>

// A fresh temporary directory, removed with everything in it by the destructor. Path() is empty
// when it could not be made; tests check that first.
class CTempDirectory {
public:
    explicit CTempDirectory(const char* prefix = "qal-test");
    ~CTempDirectory();
    CTempDirectory(const CTempDirectory&) = delete;
    CTempDirectory& operator=(const CTempDirectory&) = delete;

    const std::string& Path() const { return m_strPath; }
    // The path of an entry inside the directory.
    std::string Join(const std::string& name) const { return m_strPath + "/" + name; }

private:
    std::string m_strPath;
};
