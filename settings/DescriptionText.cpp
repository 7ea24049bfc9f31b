#include "DescriptionText.h"

#include "Windows1250.h"

std::string DescriptionForDisplay(std::string_view deviceBytes) {
    return DecodeWindows1250(deviceBytes);
}

namespace {

bool IsControl(char32_t codePoint) {
    return codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F);
}

} // namespace

bool IsDescriptionCharacter(char32_t codePoint) {
    return !IsControl(codePoint) && IsWindows1250Character(codePoint);
}

bool EncodeDescription(std::string_view utf8, std::string& deviceBytes) {
    std::string error; // the dialog's validator keeps such text out; no reason to show
    std::optional<std::string> encoded = EncodeWindows1250(utf8, error);
    if (!encoded) {
        return false;
    }
    deviceBytes = std::move(*encoded);
    return true;
}
