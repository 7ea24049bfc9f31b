#pragma once

// Buttons, icons and answers of the application message box.
enum MessageBoxType : unsigned {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_ABORTRETRYIGNORE = 0x2,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_RETRYCANCEL = 0x5,
    MB_TYPEMASK = 0xF,
    MB_ICONHAND = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONASTERISK = 0x40,
    MB_ICONMASK = 0xF0,
    MB_DEFBUTTON2 = 0x100,
    MB_DEFBUTTON3 = 0x200,
    MB_DEFMASK = 0xF00,
};

enum MessageBoxAnswer : int {
    IDANSWER_OK = 1,
    IDANSWER_CANCEL = 2,
    IDABORT = 3,
    IDRETRY = 4,
    IDIGNORE = 5,
    IDYES = 6,
    IDNO = 7,
};

// The icon a box shows: the caller's, or, when it names none, the exclamation icon for the
// OK, OK/Cancel, Yes/No and Yes/No/Cancel boxes and none for the others.
inline unsigned EffectiveMessageBoxIcon(unsigned type) {
    const unsigned icon = type & MB_ICONMASK;
    if (icon != 0) {
        return icon;
    }
    switch (type & MB_TYPEMASK) {
    case MB_OK:
    case MB_OKCANCEL:
    case MB_YESNO:
    case MB_YESNOCANCEL:
        return MB_ICONEXCLAMATION;
    default:
        return 0;
    }
}
