#pragma once

#include <string>
#include <string_view>

// UTF-16 text, as Windows gives it (wide strings), to the UTF-8 the program works in. A
// surrogate without its partner (Windows names may hold one) becomes U+FFFD, so the result is
// always valid UTF-8.
std::string Utf8FromUtf16(std::u16string_view text);
