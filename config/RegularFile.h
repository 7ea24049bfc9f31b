#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <system_error>

// Files that a user names are read and written only when they are regular files: a pipe would
// hang the program, and a device or socket is no place for a file.

// True when path holds a regular file (also through links) or nothing yet (a dangling link
// counts as nothing: the file it names is made). False, with is_a_directory or
// FileErrc::NotRegular, when anything else stands there, and with the system's reason when the
// path cannot be looked at.
bool IsRegularOrAbsent(const std::filesystem::path& path, std::error_code& error);

enum class RegularFileRead {
    Read,       // content holds the file's first bytes, at most limit of them
    CannotOpen, // missing, no access, or not a regular file; error says which
    ReadError,  // opened, but reading failed
};

// Opened without waiting (a pipe in the file's place never blocks) and checked on the open file
// itself, so that nothing swapped in between a check and the open gets read.
RegularFileRead ReadRegularFile(const std::filesystem::path& path, std::size_t limit,
                                std::string& content, std::error_code& error);
