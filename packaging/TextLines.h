#pragma once

#include <string>
#include <string_view>
#include <vector>

// The lines of a text, without their line ends ("\n" or "\r\n"); a last line without an end
// counts too.
std::vector<std::string_view> SplitLines(std::string_view text);

// The text without the spaces and tabs at either end.
std::string_view Trim(std::string_view text);

// How many spaces a line starts with.
std::size_t Indent(std::string_view line);

// The length of UTF-8 text in characters, as a reader counts columns.
std::size_t Utf8Length(std::string_view text);

// The words of a text, filled into lines of at most width characters: the first line starts
// with firstPrefix, the others with prefix. A word longer than a line stands alone.
std::string Fill(std::string_view text, std::size_t width, std::string_view firstPrefix,
                 std::string_view prefix);
