#pragma once

// The system's sound for a message box with this icon (MB_ICONHAND, MB_ICONQUESTION,
// MB_ICONEXCLAMATION, MB_ICONASTERISK), as the system's own message boxes play it. Silent where
// the system has no such sounds, and for a box without an icon.
void PlayMessageBoxSound(unsigned icon);
