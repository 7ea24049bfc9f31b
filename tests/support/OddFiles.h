#pragma once

#include <string>

// Things that are not regular files, made in a test's own scratch folder so that a test that
// goes wrong can only damage that folder: never a system device.
enum class OddFile {
    Folder,
    Pipe,   // a FIFO nobody reads or writes
    Socket, // a bound local socket, its descriptor already closed
    Device, // a character node of the null device; needs root
};

// The name of a kind, for a test's trace.
const char* OddFileName(OddFile kind);

// Makes one at path. False, with why, when this system or user cannot (a device without root,
// anything but a folder on Windows): the caller skips that case.
bool MakeOddFile(OddFile kind, const std::string& path, std::string& why);

inline constexpr OddFile kAllOddFiles[] = {OddFile::Folder, OddFile::Pipe, OddFile::Socket,
                                           OddFile::Device};
