#include "DataExchangeRules.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace ddx {
namespace {

// Characters of a field's text that are read as a number.
constexpr std::size_t kReadLimit = 31;

constexpr const char* kIntegerMessage = "Please enter an integer.";
constexpr const char* kPositiveMessage = "Please enter a positive integer.";
constexpr const char* kByteMessage = "Please enter an integer between 0 and 255.";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Bytes taken by the UTF-8 character at the start of a non-empty text. A byte that does not
// start a complete, well-formed sequence is a character of its own, so that damaged text never
// swallows the bytes after it.
std::size_t CharacterBytes(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text.front());
    std::size_t length = 1;
    unsigned char secondMin = 0x80;
    unsigned char secondMax = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        secondMin = lead == 0xE0 ? 0xA0 : 0x80; // no overlong forms
        secondMax = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        secondMin = lead == 0xF0 ? 0x90 : 0x80; // no overlong forms
        secondMax = lead == 0xF4 ? 0x8F : 0xBF; // nothing above U+10FFFF
    }
    if (length == 1 || text.size() < length) {
        return 1;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        const unsigned char min = i == 1 ? secondMin : 0x80;
        const unsigned char max = i == 1 ? secondMax : 0xBF;
        if (next < min || next > max) {
            return 1;
        }
    }
    return length;
}

// Bytes taken by the first `count` characters of the text (all of it when it is shorter).
std::size_t PrefixBytes(std::string_view text, std::size_t count) {
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < count && bytes < text.size(); ++i) {
        bytes += CharacterBytes(text.substr(bytes));
    }
    return bytes;
}

// The value of an integer field, wide enough to check the bounds of every field type; empty when
// the text breaks a rule.
std::optional<long long> ReadInteger(std::string_view text, bool minusAllowed) {
    const std::size_t readBytes = PrefixBytes(text, kReadLimit);
    // Whatever stands beyond the characters read would be ignored, and a number cut there would
    // be taken as a different, shorter one; only blanks may follow.
    if (!std::all_of(text.begin() + static_cast<std::ptrdiff_t>(readBytes), text.end(), IsBlank)) {
        return std::nullopt;
    }
    const std::string_view field = text.substr(0, readBytes);

    std::size_t pos = 0;
    while (pos < field.size() && IsBlank(field[pos])) {
        ++pos;
    }
    // An empty field or a bare sign reads as 0 too; only a written 0 means zero.
    const bool zeroWritten = pos < field.size() && field[pos] == '0';

    bool negative = false;
    if (pos < field.size() && (field[pos] == '+' || field[pos] == '-')) {
        negative = field[pos] == '-';
        if (negative && !minusAllowed) {
            return std::nullopt;
        }
        ++pos;
    }

    // Saturates just above the largest 32-bit magnitude, so any longer number fails the range
    // checks instead of wrapping around.
    constexpr long long kSaturated = (1LL << 32) + 1;
    long long magnitude = 0;
    for (; pos < field.size() && IsDigit(field[pos]); ++pos) {
        magnitude = std::min(magnitude * 10 + (field[pos] - '0'), kSaturated);
    }

    while (pos < field.size() && IsBlank(field[pos])) {
        ++pos;
    }
    if (pos != field.size() || (magnitude == 0 && !zeroWritten)) {
        return std::nullopt;
    }
    return negative ? -magnitude : magnitude;
}

template <typename T> Field<T> Checked(std::optional<long long> value, const char* message) {
    if (value && std::in_range<T>(*value)) {
        return {static_cast<T>(*value), {}};
    }
    return {std::nullopt, message};
}

} // namespace

Field<std::int32_t> ParseInt(std::string_view text) {
    return Checked<std::int32_t>(ReadInteger(text, true), kIntegerMessage);
}

Field<std::int16_t> ParseShort(std::string_view text) {
    return Checked<std::int16_t>(ReadInteger(text, true), kIntegerMessage);
}

Field<std::uint8_t> ParseByte(std::string_view text) {
    return Checked<std::uint8_t>(ReadInteger(text, false), kByteMessage);
}

Field<std::uint16_t> ParseUShort(std::string_view text) {
    return Checked<std::uint16_t>(ReadInteger(text, false), kPositiveMessage);
}

Field<std::uint32_t> ParseUInt(std::string_view text) {
    return Checked<std::uint32_t>(ReadInteger(text, false), kPositiveMessage);
}

std::optional<std::string> CheckRange(long long value, long long lo, long long hi) {
    if (value >= lo && value <= hi) {
        return std::nullopt;
    }
    return "Please enter an integer between " + std::to_string(lo) + " and " + std::to_string(hi) +
           ".";
}

int CharacterCount(std::string_view utf8) {
    int count = 0;
    for (std::size_t pos = 0; pos < utf8.size(); pos += CharacterBytes(utf8.substr(pos))) {
        // A dialog's text never comes near the limit; saturating keeps the count meaningful.
        if (count < std::numeric_limits<int>::max()) {
            ++count;
        }
    }
    return count;
}

std::optional<std::string> CheckMaxChars(std::string_view utf8, int limit) {
    if (CharacterCount(utf8) <= limit) {
        return std::nullopt;
    }
    return "Please enter no more than " + std::to_string(limit) + " characters.";
}

} // namespace ddx
