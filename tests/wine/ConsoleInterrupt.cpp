// Presses Ctrl+C for a console program once it has printed enough, as a user at its console
// would; the wine tests use it on qal-cli.
//   qal-console-interrupt LINES PROGRAM [ARG]...
// Starts PROGRAM on this console with its standard output through here (copied to this one's),
// sends Ctrl+C to the console once LINES lines have come, and exits with PROGRAM's exit status;
// 124 when the lines did not come within a minute or it has not ended 30 s after Ctrl+C, 125
// when it could not be started, no console could be had, or it ended before its LINES lines.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

constexpr DWORD kPatienceMs = 30000;

// The command line for CreateProcess: each argument quoted as the C runtime splits it again.
std::wstring Quoted(wchar_t** arguments, int count) {
    std::wstring line;
    for (int i = 0; i < count; ++i) {
        if (!line.empty()) {
            line += L' ';
        }
        line += L'"';
        std::size_t backslashes = 0;
        for (const wchar_t* c = arguments[i]; *c != L'\0'; ++c) {
            if (*c == L'\\') {
                ++backslashes;
            } else {
                if (*c == L'"') {
                    line.append(backslashes + 1, L'\\');
                }
                backslashes = 0;
            }
            line += *c;
        }
        line.append(backslashes, L'\\'); // before the closing quote
        line += L'"';
    }
    return line;
}

int Fail(const char* what) {
    std::fprintf(stderr, "qal-console-interrupt: %s (error %lu)\n", what, GetLastError());
    return 125;
}

} // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv == nullptr || argc < 3) {
        std::fputs("usage: qal-console-interrupt LINES PROGRAM [ARG]...\n", stderr);
        return 2;
    }
    const long lines = std::wcstol(argv[1], nullptr, 10);
    // Ctrl+C goes to every program on a console: a console of this program's own (hidden where
    // there is no display), which the program shares. The one it was started on, if any, may
    // not take control events (wine's stand-in for a terminal does not).
    (void)FreeConsole(); // fails only when there was none
    if (!AllocConsole()) {
        return Fail("no console");
    }
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0) ||
        !SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0)) {
        return Fail("no pipe");
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    std::wstring commandLine = Quoted(argv + 2, argc - 2);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return Fail("cannot start the program");
    }
    (void)CloseHandle(writeEnd); // the program's copy is the only one left: its end ends reads
    // This program itself ignores the Ctrl+C it sends (set after the start: it is inherited).
    (void)SetConsoleCtrlHandler(nullptr, TRUE);

    long seen = 0;
    bool sent = false;
    // For the lines to come (a program starts slowly under wine), then for the end after Ctrl+C.
    ULONGLONG deadline = GetTickCount64() + 2 * kPatienceMs;
    char buffer[512];
    for (;;) {
        DWORD waiting = 0;
        if (!PeekNamedPipe(readEnd, nullptr, 0, nullptr, &waiting, nullptr)) {
            break; // the program's end of the pipe is closed: it has ended
        }
        if (waiting == 0) {
            if (GetTickCount64() > deadline) {
                break;
            }
            Sleep(20);
            continue;
        }
        DWORD got = 0;
        if (!ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) || got == 0) {
            break;
        }
        (void)std::fwrite(buffer, 1, got, stdout);
        (void)std::fflush(stdout);
        for (DWORD i = 0; i < got; ++i) {
            seen += buffer[i] == '\n' ? 1 : 0;
        }
        if (!sent && seen >= lines) {
            sent = true;
            deadline = GetTickCount64() + kPatienceMs;
            if (!GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0)) {
                (void)TerminateProcess(process.hProcess, 125);
                return Fail("cannot send Ctrl+C");
            }
        }
    }
    if (WaitForSingleObject(process.hProcess, 1000) != WAIT_OBJECT_0) {
        (void)TerminateProcess(process.hProcess, 124);
        std::fputs("qal-console-interrupt: the program did not end\n", stderr);
        return 124;
    }
    if (!sent) {
        std::fprintf(stderr, "qal-console-interrupt: the program ended after %ld lines\n", seen);
        return 125;
    }
    DWORD status = 125;
    (void)GetExitCodeProcess(process.hProcess, &status);
    return static_cast<int>(status);
}
