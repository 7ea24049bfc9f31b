#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Texts with values in them, written as patterns with the placeholders %1 to %99 in the manner of
// Qt's arg(): "Plik konfiguracyjny '%1' odczytano". A text made from a pattern is matched back
// to it, so that the same values can go into the pattern of another language. A '%' that no
// digit 1 to 9 follows is plain text; a second digit belongs to the placeholder.
class CTextPattern {
public:
    explicit CTextPattern(std::string_view pattern);

    bool HasPlaceholders() const { return m_placeholders != 0; }
    // The plain text before the first placeholder: every text of the pattern starts with it.
    const std::string& Prefix() const;
    // How much plain text it has: of two patterns that match a text, the longer tells more.
    std::size_t PlainLength() const { return m_plainLength; }

    // The values of the placeholders by number (index 0 is %1; one past the highest number),
    // when the text is the pattern with a value in the place of each; nothing otherwise. Values
    // are never empty. Where a value could end at several places, the first that lets the rest
    // of the pattern match wins. A placeholder that stands twice holds the same value twice.
    std::optional<std::vector<std::string>> Match(std::string_view text) const;

private:
    struct Piece {
        std::string text; // plain text, or empty for a placeholder
        int placeholder;  // 0 for plain text, else 1 to 99
    };
    bool MatchFrom(std::size_t piece, std::string_view text, std::size_t at,
                   std::vector<std::string>& values) const;

    std::vector<Piece> m_pieces;
    int m_placeholders = 0; // the highest number
    std::size_t m_plainLength = 0;
};

// The pattern with its placeholders replaced by the values (index 0 is %1); a placeholder
// without a value stays as it is. Values go in as they are: a '%' in a value is no placeholder.
std::string FillPattern(std::string_view pattern, const std::vector<std::string>& values);
