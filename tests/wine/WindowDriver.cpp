// Drives a running program's window from the keyboard, as a user would; used by the installer's
// smoke test under wine.
//   qal-window-driver keys TITLE KEY...  type keys (tab, space, enter, up, alt+space: the
//                                        system menu) into the window TITLE; with no key, only
//                                        wait for the window
//   qal-window-driver close TITLE        close the window TITLE, as its close box does
// Waits up to 60 s for the window (a fresh wine prefix is slow to show the first one). Exit
// status 0 when done, 1 when the window did not come or the keys could not be typed.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr DWORD kPatienceMs = 60000;

HWND WaitForWindow(const std::wstring& title) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < kPatienceMs) {
        if (const HWND window = FindWindowW(nullptr, title.c_str())) {
            return window;
        }
        Sleep(100);
    }
    return nullptr;
}

// The window is brought to the front and the keys go through the system's input queue to
// whatever control has the focus.
bool TypeKeys(HWND window, wchar_t** keys, int count) {
    (void)SetForegroundWindow(window); // may be refused; the keys then show it by doing nothing
    Sleep(500);
    for (int i = 0; i < count; ++i) {
        const std::wstring key = keys[i];
        WORD code = 0;
        bool withAlt = false;
        if (key == L"tab") {
            code = VK_TAB;
        } else if (key == L"space") {
            code = VK_SPACE;
        } else if (key == L"enter") {
            code = VK_RETURN;
        } else if (key == L"up") {
            code = VK_UP;
        } else if (key == L"alt+space") {
            code = VK_SPACE;
            withAlt = true;
        } else {
            return false;
        }
        INPUT input[4] = {};
        UINT events = 0;
        if (withAlt) {
            input[events].type = INPUT_KEYBOARD;
            input[events++].ki.wVk = VK_MENU;
        }
        input[events].type = INPUT_KEYBOARD;
        input[events++].ki.wVk = code;
        input[events] = input[events - 1];
        input[events++].ki.dwFlags = KEYEVENTF_KEYUP;
        if (withAlt) {
            input[events] = input[0];
            input[events++].ki.dwFlags = KEYEVENTF_KEYUP;
        }
        if (SendInput(events, input, sizeof(INPUT)) != events) {
            return false;
        }
        Sleep(200);
    }
    return true;
}

} // namespace

int main() {
    // The wide command line: the narrow one is in the ANSI code page, which may lack "ł".
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const std::wstring command = argv != nullptr && argc > 1 ? argv[1] : L"";
    if (!((command == L"keys" && argc >= 3) || (command == L"close" && argc == 3))) {
        std::fputs("usage: qal-window-driver keys TITLE KEY... | close TITLE\n"
                   "  KEY: tab, space, enter, up or alt+space\n",
                   stderr);
        return 2;
    }
    const HWND window = WaitForWindow(argv[2]);
    if (window == nullptr) {
        std::fputs("qal-window-driver: no such window\n", stderr);
        return 1;
    }
    if (command == L"close") {
        return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    return TypeKeys(window, argv + 3, argc - 3) ? 0 : 1; // argv is freed with the process
}
