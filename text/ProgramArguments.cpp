#include "ProgramArguments.h"

#if defined(_WIN32)
#include "Utf16.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <shellapi.h>

#include <memory>

std::vector<std::string> ArgumentsOfCommandLine(const wchar_t* commandLine) {
    std::vector<std::string> arguments;
    int count = 0;
    // An empty command line would be taken as "this program's path".
    if (commandLine == nullptr || *commandLine == L'\0') {
        return arguments;
    }
    wchar_t** const split = CommandLineToArgvW(commandLine, &count);
    if (split == nullptr) {
        return arguments; // out of memory: the caller falls back to argv
    }
    const auto release = [](wchar_t** list) { (void)LocalFree(list); };
    const std::unique_ptr<wchar_t*, decltype(release)> owner(split, release);
    for (int i = 0; i < count; ++i) {
        // wchar_t is UTF-16 on Windows.
        arguments.push_back(Utf8FromUtf16(reinterpret_cast<const char16_t*>(split[i])));
    }
    return arguments;
}

std::vector<std::string> ProgramArguments(int argc, char* argv[]) {
    std::vector<std::string> arguments = ArgumentsOfCommandLine(GetCommandLineW());
    if (arguments.empty()) {
        arguments.assign(argv, argv + argc);
    }
    return arguments;
}

#else

std::vector<std::string> ProgramArguments(int argc, char* argv[]) {
    return std::vector<std::string>(argv, argv + argc);
}

#endif
