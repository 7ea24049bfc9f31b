#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The rules by which dialog fields are read back and checked, and the framework's English
// messages. Fields are UTF-8 text as the control holds it.
namespace ddx {

template <typename T> struct Field {
    std::optional<T> value;
    std::string message; // what the dialog shows when value is empty
};

// Integer fields. At most the first 31 characters are read; leading and trailing blanks and tabs
// are allowed; 0 only when the first non-blank character is the digit 0.
Field<std::int32_t> ParseInt(std::string_view text);   // "Please enter an integer."
Field<std::int16_t> ParseShort(std::string_view text); // "Please enter an integer."
Field<std::uint8_t>
ParseByte(std::string_view text); // "Please enter an integer between 0 and 255."
Field<std::uint16_t> ParseUShort(std::string_view text); // "Please enter a positive integer."
Field<std::uint32_t> ParseUInt(std::string_view text);   // "Please enter a positive integer."

// "Please enter an integer between %1 and %2." when value lies outside lo..hi, else empty.
std::optional<std::string> CheckRange(long long value, long long lo, long long hi);

// Number of characters (not bytes) of a UTF-8 text.
int CharacterCount(std::string_view utf8);

// "Please enter no more than %1 characters." when the text is longer than limit, else empty.
std::optional<std::string> CheckMaxChars(std::string_view utf8, int limit);

} // namespace ddx
