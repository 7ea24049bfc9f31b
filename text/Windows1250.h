#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Device texts and record descriptions travel as single-byte Windows-1250 (Central European);
// the program itself works in UTF-8. The five bytes the code page leaves undefined (0x81, 0x83,
// 0x88, 0x90, 0x98) stand for the control characters of the same value, as on Windows, so every
// byte string survives a decode and encode unchanged.

// Converts UTF-8 text to Windows-1250. Returns nothing, with the reason in error, for text that
// is not valid UTF-8 or that holds a character the code page has no byte for: such text is
// refused, never sent changed.
std::optional<std::string> EncodeWindows1250(std::string_view utf8, std::string& error);

// Converts Windows-1250 bytes to UTF-8. Every byte has a character, so this cannot fail.
std::string DecodeWindows1250(std::string_view bytes);

// A text as the device sends it: its bytes up to the first zero byte, all size of them when there
// is none, converted to UTF-8.
std::string DecodeDeviceText(const std::uint8_t* bytes, std::size_t size);

// Whether the code page has a byte for this character.
bool IsWindows1250Character(char32_t codePoint);
