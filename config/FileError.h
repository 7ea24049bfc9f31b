#pragma once

#include <string>
#include <system_error>
#include <type_traits>

// Reasons of the program's own why a file was not read or written, beside the system's.
enum class FileErrc {
    NotRegular = 1, // a pipe, device or socket stands where a file must be
    Incomplete,     // fewer bytes reached the file than were written to it
};

const std::error_category& FileCategory();
std::error_code make_error_code(FileErrc value);

template <> struct std::is_error_code_enum<FileErrc> : std::true_type {};

// The reason in Polish for the user ("Brak uprawnień"); the system's own text where the program
// has no word of its own for it.
std::string FileReasonText(const std::error_code& error);

// "Nie można zapisać pliku '<path>': <reason>", and the same for reading.
std::string CannotWriteFileText(const std::string& path, const std::error_code& error);
std::string CannotReadFileText(const std::string& path, const std::error_code& error);
