#include "WinsockText.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

std::string WinsockErrorText(int error) {
    char text[256] = {};
    const DWORD size =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       static_cast<DWORD>(error), 0, text, sizeof text, nullptr);
    std::string result(text, size);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r' ||
                               result.back() == ' ' || result.back() == '.')) {
        result.pop_back();
    }
    return result.empty() ? "error " + std::to_string(error) : result;
}
