#include "DescriptionText.h"

#include "Windows1250.h"

#include <algorithm>

std::string DescriptionForDisplay(std::string_view deviceBytes) {
    return DecodeWindows1250(deviceBytes);
}

namespace {

bool IsControl(char32_t codePoint) {
    return codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F);
}

// A byte of an encoded text that stands for a control character: the five bytes the code page
// leaves undefined are the C1 controls of the same value.
bool IsControlByte(unsigned char byte) {
    switch (byte) {
    case 0x7F:
    case 0x81:
    case 0x83:
    case 0x88:
    case 0x90:
    case 0x98:
        return true;
    default:
        return byte < 0x20;
    }
}

} // namespace

bool IsDescriptionCharacter(char32_t codePoint) {
    return !IsControl(codePoint) && IsWindows1250Character(codePoint);
}

bool EncodeDescription(std::string_view utf8, std::string& deviceBytes) {
    std::string error; // the dialog's validator keeps such text out; no reason to show
    std::optional<std::string> encoded = EncodeWindows1250(utf8, error);
    if (!encoded || std::any_of(encoded->begin(), encoded->end(), [](char byte) {
            return IsControlByte(static_cast<unsigned char>(byte));
        })) {
        return false;
    }
    deviceBytes = std::move(*encoded);
    return true;
}
