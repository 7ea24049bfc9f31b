#include "FlatJson.h"

#include <cstdint>
#include <cstdio>

namespace {

// Nested values are skipped recursively; a file nested deeper than this is refused rather than
// allowed to exhaust the stack.
constexpr int kMaxDepth = 64;

class CReader {
public:
    explicit CReader(std::string_view text) : m_text(text) {}

    std::optional<std::vector<FlatJsonMember>> Object(std::string& error) {
        std::vector<FlatJsonMember> members;
        Space();
        if (!Take('{')) {
            return Fail("a JSON object ({...}) was expected", error);
        }
        Space();
        if (!Take('}')) {
            for (;;) {
                FlatJsonMember member;
                Space();
                if (!String(member.key)) {
                    return Fail("a quoted key was expected", error);
                }
                Space();
                if (!Take(':')) {
                    return Fail("':' was expected after the key", error);
                }
                Space();
                if (!Value(member)) {
                    return Fail("the value of \"" + member.key + "\" is not valid JSON", error);
                }
                members.push_back(std::move(member));
                Space();
                if (Take('}')) {
                    break;
                }
                if (!Take(',')) {
                    return Fail("',' or '}' was expected", error);
                }
            }
        }
        Space();
        if (m_pos != m_text.size()) {
            return Fail("there is more after the object", error);
        }
        return members;
    }

private:
    std::optional<std::vector<FlatJsonMember>> Fail(const std::string& what, std::string& error) {
        int line = 1;
        for (std::size_t i = 0; i < m_pos && i < m_text.size(); ++i) {
            line += m_text[i] == '\n' ? 1 : 0;
        }
        error = "line " + std::to_string(line) + ": " + what;
        return std::nullopt;
    }

    void Space() {
        while (m_pos < m_text.size() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t' ||
                                         m_text[m_pos] == '\n' || m_text[m_pos] == '\r')) {
            ++m_pos;
        }
    }

    bool Take(char c) {
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }

    bool Word(std::string_view word) {
        if (m_text.substr(m_pos, word.size()) == word) {
            m_pos += word.size();
            return true;
        }
        return false;
    }

    static void AppendUtf8(std::uint32_t code, std::string& out) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    bool Hex4(std::uint32_t& code) {
        if (m_pos + 4 > m_text.size()) {
            return false;
        }
        code = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = m_text[m_pos++];
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
            if (digit < 0) {
                return false;
            }
            code = code << 4 | static_cast<std::uint32_t>(digit);
        }
        return true;
    }

    bool String(std::string& out) {
        if (!Take('"')) {
            return false;
        }
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos++];
            if (c == '"') {
                return true;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                return false; // a control character must be escaped
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (m_pos >= m_text.size()) {
                return false;
            }
            const char escaped = m_text[m_pos++];
            switch (escaped) {
            case '"':
            case '\\':
            case '/':
                out += escaped;
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                std::uint32_t code = 0;
                if (!Hex4(code)) {
                    return false;
                }
                if (code >= 0xD800 && code < 0xDC00) {
                    std::uint32_t low = 0;
                    if (!Word("\\u") || !Hex4(low) || low < 0xDC00 || low >= 0xE000) {
                        return false;
                    }
                    code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                } else if (code >= 0xDC00 && code < 0xE000) {
                    return false;
                }
                AppendUtf8(code, out);
                break;
            }
            default:
                return false;
            }
        }
        return false;
    }

    bool Number() {
        const std::size_t start = m_pos;
        (void)Take('-');
        std::size_t digits = 0;
        while (m_pos < m_text.size() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9') {
            ++m_pos;
            ++digits;
        }
        if (digits == 0) {
            return false;
        }
        if (Take('.')) {
            std::size_t fraction = 0;
            while (m_pos < m_text.size() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9') {
                ++m_pos;
                ++fraction;
            }
            if (fraction == 0) {
                return false;
            }
        }
        if (Take('e') || Take('E')) {
            if (!Take('+')) {
                (void)Take('-');
            }
            std::size_t exponent = 0;
            while (m_pos < m_text.size() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9') {
                ++m_pos;
                ++exponent;
            }
            if (exponent == 0) {
                return false;
            }
        }
        return m_pos > start;
    }

    // Any value, checked and passed over.
    bool Skip(int depth) {
        if (depth > kMaxDepth) {
            return false;
        }
        Space();
        std::string ignored;
        if (m_pos < m_text.size() && m_text[m_pos] == '"') {
            return String(ignored);
        }
        if (Take('{') || Take('[')) {
            const char close = m_text[m_pos - 1] == '{' ? '}' : ']';
            Space();
            if (Take(close)) {
                return true;
            }
            for (;;) {
                Space();
                if (close == '}') {
                    if (!String(ignored)) {
                        return false;
                    }
                    Space();
                    if (!Take(':')) {
                        return false;
                    }
                }
                if (!Skip(depth + 1)) {
                    return false;
                }
                Space();
                if (Take(close)) {
                    return true;
                }
                if (!Take(',')) {
                    return false;
                }
            }
        }
        return Word("true") || Word("false") || Word("null") || Number();
    }

    bool Value(FlatJsonMember& member) {
        if (m_pos < m_text.size() && m_text[m_pos] == '"') {
            member.kind = FlatJsonMember::Kind::String;
            return String(member.text);
        }
        if (Word("true") || Word("false")) {
            member.kind = FlatJsonMember::Kind::Boolean;
            member.truth = m_text[m_pos - 2] == 'u'; // "true", not "false"
            return true;
        }
        member.kind = FlatJsonMember::Kind::Other;
        const std::size_t start = m_pos;
        if (!Skip(0)) {
            return false;
        }
        member.text = std::string(m_text.substr(start, m_pos - start));
        return true;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

} // namespace

std::optional<std::vector<FlatJsonMember>> ParseFlatJsonObject(std::string_view text,
                                                               std::string& error) {
    // A byte order mark from an editor that writes one.
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    return CReader(text).Object(error);
}

std::string JsonQuoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(c));
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}
