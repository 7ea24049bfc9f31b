#include "SystemSound.h"

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// The icon values are the system's own, so they pass unchanged.
static_assert(MB_ICONHAND == 0x10 && MB_ICONQUESTION == 0x20 && MB_ICONEXCLAMATION == 0x30 &&
              MB_ICONASTERISK == 0x40);

void PlayMessageBoxSound(unsigned icon) {
    if (icon != 0) {
        (void)MessageBeep(icon); // a missing sound is no fault of the box
    }
}

#else

void PlayMessageBoxSound(unsigned) {}

#endif
