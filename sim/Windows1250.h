#pragma once

#include <optional>
#include <string>
#include <string_view>

// Device texts travel as single-byte Windows-1250 (Central European). Converts UTF-8 text to it.
// Returns nothing, with the reason in error, for text that is not valid UTF-8 or that holds a
// character the code page has no byte for: such text is refused, never sent changed.
std::optional<std::string> EncodeWindows1250(std::string_view utf8, std::string& error);
