#include "TextPattern.h"

#include <algorithm>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

struct Placeholder {
    int number = 0;         // 0: none
    std::size_t length = 0; // of its text
};

// The placeholder at this position: '%' and a number from 1 to 99, as Qt's arg() reads it.
Placeholder PlaceholderAt(std::string_view text, std::size_t at) {
    if (text[at] != '%' || at + 1 >= text.size() || !IsDigit(text[at + 1]) || text[at + 1] == '0') {
        return {};
    }
    if (at + 2 < text.size() && IsDigit(text[at + 2])) {
        return {(text[at + 1] - '0') * 10 + (text[at + 2] - '0'), 3};
    }
    return {text[at + 1] - '0', 2};
}

const std::string kNoPrefix;

} // namespace

CTextPattern::CTextPattern(std::string_view pattern) {
    std::string plain;
    for (std::size_t at = 0; at < pattern.size();) {
        const Placeholder placeholder = PlaceholderAt(pattern, at);
        if (placeholder.number == 0) {
            plain += pattern[at++];
            ++m_plainLength;
            continue;
        }
        if (!plain.empty()) {
            m_pieces.push_back({plain, 0});
            plain.clear();
        }
        m_pieces.push_back({{}, placeholder.number});
        m_placeholders = std::max(m_placeholders, placeholder.number);
        at += placeholder.length;
    }
    if (!plain.empty()) {
        m_pieces.push_back({plain, 0});
    }
}

const std::string& CTextPattern::Prefix() const {
    return !m_pieces.empty() && m_pieces.front().placeholder == 0 ? m_pieces.front().text
                                                                  : kNoPrefix;
}

std::optional<std::vector<std::string>> CTextPattern::Match(std::string_view text) const {
    std::vector<std::string> values(static_cast<std::size_t>(m_placeholders));
    if (!MatchFrom(0, text, 0, values)) {
        return std::nullopt;
    }
    return values;
}

bool CTextPattern::MatchFrom(std::size_t piece, std::string_view text, std::size_t at,
                             std::vector<std::string>& values) const {
    if (piece == m_pieces.size()) {
        return at == text.size();
    }
    const Piece& current = m_pieces[piece];
    if (current.placeholder == 0) {
        return text.substr(at).starts_with(current.text) &&
               MatchFrom(piece + 1, text, at + current.text.size(), values);
    }
    std::string& value = values[static_cast<std::size_t>(current.placeholder - 1)];
    if (!value.empty()) { // the same placeholder again: the same value
        return text.substr(at).starts_with(value) &&
               MatchFrom(piece + 1, text, at + value.size(), values);
    }
    const bool last = piece + 1 == m_pieces.size();
    const std::string* next =
        !last && m_pieces[piece + 1].placeholder == 0 ? &m_pieces[piece + 1].text : nullptr;
    for (std::size_t end = last ? text.size() : at + 1; end <= text.size(); ++end) {
        if (end == at) {
            break; // values are never empty
        }
        // Only where the plain text that follows starts, when one follows.
        if (next != nullptr) {
            end = text.find(*next, end);
            if (end == std::string_view::npos) {
                break;
            }
        }
        value.assign(text.substr(at, end - at));
        if (MatchFrom(piece + 1, text, end, values)) {
            return true;
        }
    }
    value.clear();
    return false;
}

std::string FillPattern(std::string_view pattern, const std::vector<std::string>& values) {
    std::string text;
    text.reserve(pattern.size());
    for (std::size_t at = 0; at < pattern.size();) {
        const Placeholder placeholder = PlaceholderAt(pattern, at);
        if (placeholder.number == 0 ||
            static_cast<std::size_t>(placeholder.number) > values.size()) {
            text += pattern[at++];
            continue;
        }
        text += values[static_cast<std::size_t>(placeholder.number - 1)];
        at += placeholder.length;
    }
    return text;
}
