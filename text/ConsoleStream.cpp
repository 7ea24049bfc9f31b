#include "ConsoleStream.h"

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <io.h>
#include <windows.h>
#endif

#if defined(_WIN32)

namespace {

bool HasStream(DWORD which) {
    const HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

// The console's own code page is the user's, rarely UTF-8: a console gets UTF-16 characters.
bool WriteToConsole(HANDLE console, const std::string& text) {
    if (text.empty()) {
        return true;
    }
    const int length = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
    if (size <= 0) {
        return false;
    }
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    if (MultiByteToWideChar(CP_UTF8, 0, text.data(), length, wide.data(), size) != size) {
        return false;
    }
    DWORD written = 0;
    return WriteConsoleW(console, wide.data(), static_cast<DWORD>(size), &written, nullptr) &&
           written == static_cast<DWORD>(size);
}

} // namespace

void AttachToParentConsole() {
    const bool hasOutput = HasStream(STD_OUTPUT_HANDLE);
    const bool hasErrors = HasStream(STD_ERROR_HANDLE);
    if ((hasOutput && hasErrors) || !AttachConsole(ATTACH_PARENT_PROCESS)) {
        return; // redirected already, or started where no console is
    }
    // A failed reopen leaves the stream unusable, which WriteToStream then reports.
    if (!hasOutput) {
        (void)std::freopen("CONOUT$", "w", stdout);
    }
    if (!hasErrors) {
        (void)std::freopen("CONOUT$", "w", stderr);
    }
}

bool WriteToStream(std::FILE* stream, const std::string& text) {
    const int descriptor = _fileno(stream);
    const HANDLE handle =
        descriptor >= 0 ? reinterpret_cast<HANDLE>(_get_osfhandle(descriptor)) : nullptr;
    DWORD mode = 0;
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
        return std::fflush(stream) == 0 && WriteToConsole(handle, text);
    }
    return std::fputs(text.c_str(), stream) >= 0 && std::fflush(stream) == 0;
}

#else

void AttachToParentConsole() {}

bool WriteToStream(std::FILE* stream, const std::string& text) {
    return std::fputs(text.c_str(), stream) >= 0 && std::fflush(stream) == 0;
}

#endif
