#pragma once

#include <string>
#include <string_view>

// Record descriptions are Windows-1250 bytes on the device and UTF-8 in the dialogs.

// The description as the user sees it. Every byte has a character, so nothing is lost.
std::string DescriptionForDisplay(std::string_view deviceBytes);

// Whether the user may type or paste this character into a description: the code page must have
// a byte for it, and control characters (NUL, TAB, line breaks...) are refused, since a NUL
// would end the text on the device early and the others show as nothing. A description read
// from the device goes back as it came, whatever it holds.
bool IsDescriptionCharacter(char32_t codePoint);

// The text as device bytes; false when the code page cannot hold one of its characters.
bool EncodeDescription(std::string_view utf8, std::string& deviceBytes);

// Writes the text into the record's description, zero-filled after it. A text the code page
// cannot hold leaves the description as it was, so the device never receives a description
// other than the one shown. False when the text was not stored whole.
template <typename Record> bool StoreDescription(std::string_view utf8, Record& record) {
    std::string bytes;
    if (!EncodeDescription(utf8, bytes)) {
        return false;
    }
    return record.setDescription(bytes);
}
