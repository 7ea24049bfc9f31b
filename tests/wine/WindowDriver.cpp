// Drives a running program's window as a screen reader or UI automation would, through the
// accessibility tree the window publishes; used by the installer's smoke test under wine.
//   qal-window-driver press TITLE NAME   press the button NAME in the window TITLE
//   qal-window-driver keys TITLE KEY...  type keys (tab, space, enter) into the window TITLE
//   qal-window-driver close TITLE        close the window TITLE
// Waits up to 60 s for the window and the button (a fresh wine prefix is slow to show the
// first window). Exit status 0 when done, 1 when not found in time.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <string>

namespace {

constexpr DWORD kPatienceMs = 60000;
constexpr DWORD kButtonPatienceMs = 20000;

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

// Depth-first through the tree below node; true once a push button named name was pressed.
bool PressIn(IAccessible* node, const std::wstring& name, int depth) {
    if (depth > 8) {
        return false;
    }
    long count = 0;
    if (FAILED(node->get_accChildCount(&count)) || count <= 0) {
        return false;
    }
    std::basic_string<VARIANT> children(static_cast<std::size_t>(count), VARIANT{});
    long obtained = 0;
    if (FAILED(AccessibleChildren(node, 0, count, children.data(), &obtained))) {
        return false;
    }
    bool pressed = false;
    for (long i = 0; i < obtained; ++i) {
        VARIANT& child = children[static_cast<std::size_t>(i)];
        if (!pressed && child.vt == VT_DISPATCH && child.pdispVal != nullptr) {
            IAccessible* element = nullptr;
            if (SUCCEEDED(child.pdispVal->QueryInterface(IID_IAccessible,
                                                         reinterpret_cast<void**>(&element)))) {
                VARIANT self{};
                self.vt = VT_I4;
                self.lVal = CHILDID_SELF;
                BSTR elementName = nullptr;
                VARIANT role{};
                const bool isButton = SUCCEEDED(element->get_accRole(self, &role)) &&
                                      role.vt == VT_I4 && role.lVal == ROLE_SYSTEM_PUSHBUTTON;
                if (isButton && SUCCEEDED(element->get_accName(self, &elementName)) &&
                    elementName != nullptr && name == elementName) {
                    pressed = SUCCEEDED(element->accDoDefaultAction(self));
                } else {
                    pressed = PressIn(element, name, depth + 1);
                }
                SysFreeString(elementName); // null is allowed
                element->Release();
            }
        }
        (void)VariantClear(&child);
    }
    return pressed;
}

// What the tree holds, for the report when the button was not found.
void Dump(IAccessible* node, int depth) {
    long count = 0;
    if (depth > 8 || FAILED(node->get_accChildCount(&count)) || count <= 0) {
        return;
    }
    std::basic_string<VARIANT> children(static_cast<std::size_t>(count), VARIANT{});
    long obtained = 0;
    if (FAILED(AccessibleChildren(node, 0, count, children.data(), &obtained))) {
        return;
    }
    for (long i = 0; i < obtained; ++i) {
        VARIANT& child = children[static_cast<std::size_t>(i)];
        if (child.vt == VT_DISPATCH && child.pdispVal != nullptr) {
            IAccessible* element = nullptr;
            if (SUCCEEDED(child.pdispVal->QueryInterface(IID_IAccessible,
                                                         reinterpret_cast<void**>(&element)))) {
                VARIANT self{};
                self.vt = VT_I4;
                self.lVal = CHILDID_SELF;
                BSTR elementName = nullptr;
                VARIANT role{};
                (void)element->get_accRole(self, &role);
                (void)element->get_accName(self, &elementName);
                std::fwprintf(stderr, L"%*ls%ld '%ls'\n", depth * 2, L"",
                              role.vt == VT_I4 ? role.lVal : -1L,
                              elementName != nullptr ? elementName : L"");
                SysFreeString(elementName);
                Dump(element, depth + 1);
                element->Release();
            }
        } else {
            std::fwprintf(stderr, L"%*ls(child of type %d)\n", depth * 2, L"", child.vt);
        }
        (void)VariantClear(&child);
    }
}

bool Press(HWND window, const std::wstring& name) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < kButtonPatienceMs) {
        IAccessible* root = nullptr;
        if (SUCCEEDED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                                 IID_IAccessible,
                                                 reinterpret_cast<void**>(&root)))) {
            const bool pressed = PressIn(root, name, 0);
            root->Release();
            if (pressed) {
                return true;
            }
        }
        Sleep(200);
    }
    IAccessible* root = nullptr;
    if (SUCCEEDED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                             IID_IAccessible, reinterpret_cast<void**>(&root)))) {
        std::fputs("the window's accessibility tree (role, name):\n", stderr);
        Dump(root, 1);
        root->Release();
    } else {
        std::fputs("the window publishes no accessibility tree\n", stderr);
    }
    return false;
}

// Types keys into the window as a user would: it is brought to the front and the keys go
// through the system's input queue to whatever control has the focus.
bool TypeKeys(HWND window, wchar_t** keys, int count) {
    (void)SetForegroundWindow(window); // may be refused; the keys then show it by doing nothing
    Sleep(500);
    for (int i = 0; i < count; ++i) {
        const std::wstring key = keys[i];
        WORD code = 0;
        if (key == L"tab") {
            code = VK_TAB;
        } else if (key == L"space") {
            code = VK_SPACE;
        } else if (key == L"enter") {
            code = VK_RETURN;
        } else {
            return false;
        }
        INPUT input[2] = {};
        input[0].type = INPUT_KEYBOARD;
        input[0].ki.wVk = code;
        input[1] = input[0];
        input[1].ki.dwFlags = KEYEVENTF_KEYUP;
        if (SendInput(2, input, sizeof(INPUT)) != 2) {
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
    if (!((command == L"press" && argc == 4) || (command == L"close" && argc == 3) ||
          (command == L"keys" && argc >= 4))) {
        std::fputs("usage: qal-window-driver press TITLE NAME | keys TITLE KEY... | close TITLE\n"
                   "  KEY: tab, space or enter\n",
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
    if (command == L"keys") {
        return TypeKeys(window, argv + 3, argc - 3) ? 0 : 1;
    }
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        return 1;
    }
    const bool pressed = Press(window, argv[3]);
    CoUninitialize();
    if (!pressed) {
        std::fputs("qal-window-driver: no such button in the window\n", stderr);
        return 1;
    }
    return 0; // argv is the system's, freed with the process
}
