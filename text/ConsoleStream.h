#pragma once

#include <cstdio>
#include <string>

// A Windows program of the GUI subsystem starts without standard streams. When the user started
// it from a console (and did not redirect its output), what it prints belongs in that console.
// Does nothing elsewhere, or when there is no such console (started from the desktop).
void AttachToParentConsole();

// Writes UTF-8 text to a standard stream: to a Windows console as the characters they are, to
// anything else as the bytes. False when it did not all get there (a closed or full output).
bool WriteToStream(std::FILE* stream, const std::string& text);
