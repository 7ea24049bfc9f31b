#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Text fields of the device records: single-byte (Windows-1250) characters followed by NUL bytes
// up to the field's full size. A text that fills the field has no NUL at all.
inline std::string ReadFixedText(const std::uint8_t* field, std::size_t size) {
    const std::uint8_t* end = std::find(field, field + size, std::uint8_t{0});
    return std::string(field, end);
}

// Clears the whole field, then copies the text from its start. Returns false when the text did
// not fit and was cut at the field's size.
inline bool WriteFixedText(std::uint8_t* field, std::size_t size, std::string_view text) {
    std::fill(field, field + size, std::uint8_t{0});
    const std::size_t count = std::min(size, text.size());
    std::copy_n(reinterpret_cast<const std::uint8_t*>(text.data()), count, field);
    return count == text.size();
}
