#include "HelpManual.h"

#include "TextLines.h"

#include <algorithm>
#include <map>
#include <vector>

namespace {

constexpr std::string_view kUsage = "Usage: ";
constexpr std::string_view kPlaceholder = "@HELP@";

bool IsLower(char c) {
    return c >= 'a' && c <= 'z';
}
bool IsUpper(char c) {
    return c >= 'A' && c <= 'Z';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsWordChar(char c) {
    return IsLower(c) || IsUpper(c) || IsDigit(c) || c == '-' || c == '_';
}

std::string AtLine(std::size_t number, const std::string& what) {
    return "line " + std::to_string(number) + ": " + what;
}

// Where a word may start: an option or a negative number stands after a space or a bracket.
bool StartsWord(std::string_view text, std::size_t i) {
    return i == 0 || text[i - 1] == ' ' || text[i - 1] == '(' || text[i - 1] == '[';
}

// An option's name in bold, its dashes as the minus signs one types.
std::string Option(std::string_view name) {
    std::string out = "\\fB";
    for (const char c : name) {
        out += c == '-' ? "\\-" : std::string(1, c);
    }
    return out + "\\fR";
}

// Text as roff reads it: a backslash kept, an option named in bold, the dash of a negative
// number a minus sign (other dashes are hyphens). With italicCapitals, words in capitals (the
// placeholders of a usage line) in italics.
std::string Roff(std::string_view text, bool italicCapitals = false) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (c == '-' && StartsWord(text, i) && (next == '-' || IsLower(next) || IsUpper(next))) {
            std::size_t end = i;
            while (end < text.size() && IsWordChar(text[end])) {
                ++end;
            }
            out += Option(text.substr(i, end - i));
            i = end - 1;
        } else if (c == '-' && StartsWord(text, i) && IsDigit(next)) {
            out += "\\-";
        } else if (italicCapitals && IsUpper(c) && (i == 0 || !IsWordChar(text[i - 1]))) {
            std::size_t end = i;
            while (end < text.size() && (IsUpper(text[end]) || text[end] == '_')) {
                ++end;
            }
            if (end < text.size() && (IsLower(text[end]) || IsDigit(text[end]))) {
                out += c; // a word that only starts with a capital
                continue;
            }
            out += "\\fI" + std::string(text.substr(i, end - i)) + "\\fR";
            i = end - 1;
        } else if (c == '\\') {
            out += "\\e";
        } else {
            out += c;
        }
    }
    return out;
}

// One line of running text: a line that starts with a dot or an apostrophe would be a request.
std::string TextLine(std::string_view text) {
    std::string line = Roff(Trim(text));
    if (line.starts_with('.') || line.starts_with('\'')) {
        line.insert(0, "\\&");
    }
    return line + '\n';
}

// A macro's argument in one piece: quotes in it would end it.
std::string MacroArgument(std::string_view text) {
    std::string out;
    for (const char c : text) {
        out += c == '"' ? std::string("\\(dq") : std::string(1, c);
    }
    return out;
}

// An option's tag: "-h, --help", "--link DIR", "--port=N": names in bold, placeholders in
// italics.
std::string Tag(std::string_view tag) {
    std::string out;
    while (!(tag = Trim(tag)).empty()) {
        std::string_view token = tag.substr(0, tag.find(' '));
        tag.remove_prefix(token.size());
        const bool comma = token.ends_with(',');
        if (comma) {
            token.remove_suffix(1);
        }
        if (!out.empty()) {
            out += ' ';
        }
        if (token.starts_with('-')) {
            const std::size_t value = std::min(token.find('='), token.find('['));
            out += Option(token.substr(0, value));
            if (value != std::string_view::npos) {
                out += Roff(token.substr(value), true);
            }
        } else {
            out += "\\fI" + Roff(token) + "\\fR";
        }
        if (comma) {
            out += ',';
        }
    }
    return out;
}

bool IsOptionLine(std::string_view line) {
    const std::size_t indent = Indent(line);
    return indent > 0 && indent < line.size() && line[indent] == '-';
}

// The column where the options' descriptions start: where most option lines resume after a gap.
// Zero when no line shows one.
std::size_t DescriptionColumn(const std::vector<std::string_view>& lines) {
    std::map<std::size_t, int> votes;
    for (const std::string_view line : lines) {
        const std::size_t gap =
            IsOptionLine(line) ? line.find("  ", Indent(line)) : std::string_view::npos;
        const std::size_t column =
            gap == std::string_view::npos ? gap : line.find_first_not_of(' ', gap);
        if (column != std::string_view::npos) {
            ++votes[column];
        }
    }
    std::size_t best = 0;
    int most = 0;
    for (const auto& [column, count] : votes) {
        if (count > most) {
            best = column;
            most = count;
        }
    }
    return best;
}

// A paragraph's label, as in "Stopping: Ctrl+C ends it": one capitalised word.
std::string_view Label(std::string_view line) {
    const std::size_t colon = line.find(": ");
    if (colon == std::string_view::npos || colon < 2 || !IsUpper(line[0])) {
        return {};
    }
    for (const char c : line.substr(1, colon - 1)) {
        if (!IsLower(c)) {
            return {};
        }
    }
    return line.substr(0, colon);
}

struct Block {
    std::size_t firstLine = 0; // counted from 1
    std::vector<std::string_view> lines;
};

std::vector<Block> Blocks(const std::vector<std::string_view>& lines) {
    std::vector<Block> blocks;
    bool open = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (Trim(lines[i]).empty()) {
            open = false;
            continue;
        }
        if (!open) {
            blocks.push_back({i + 1, {}});
            open = true;
        }
        blocks.back().lines.push_back(lines[i]);
    }
    return blocks;
}

class ManualWriter {
public:
    explicit ManualWriter(std::size_t column) : m_column(column) {}

    void Synopsis(std::string_view usage) {
        const std::string_view program = usage.substr(0, usage.find(' '));
        m_out += ".SH SYNOPSIS\n.B " + Roff(program) + '\n';
        if (program.size() < usage.size()) {
            m_out += Roff(Trim(usage.substr(program.size())), true) + '\n';
        }
    }

    // A paragraph of running text from the block's line from on. With a label, in a section of
    // its own named by the label, which its text leaves out.
    bool Paragraph(const Block& block, std::size_t from, std::string_view label,
                   std::string& error) {
        if (!label.empty()) {
            std::string name;
            for (const char c : label) {
                name += IsLower(c) ? static_cast<char>(c - 'a' + 'A') : c;
            }
            Section(name);
        } else if (m_section.empty()) {
            Section("DESCRIPTION");
        }
        if (m_sectionHasText) {
            m_out += ".PP\n";
        }
        for (std::size_t i = from; i < block.lines.size(); ++i) {
            std::string_view line = block.lines[i];
            if (Indent(line) > 0) {
                error = AtLine(block.firstLine + i, "an indented line in a paragraph");
                return false;
            }
            if (i == from && !label.empty()) {
                line.remove_prefix(label.size() + 2);
            }
            m_out += TextLine(line);
        }
        m_sectionHasText = true;
        return true;
    }

    bool Options(const Block& block, std::string& error) {
        if (m_column == 0) {
            error = AtLine(block.firstLine, "no option line shows where the descriptions start "
                                            "(two spaces or more after the option)");
            return false;
        }
        if (m_section != "OPTIONS") {
            Section("OPTIONS");
        }
        std::string_view heading = block.lines.front();
        heading.remove_suffix(1); // its colon
        m_out += ".SS \"" + MacroArgument(heading) + "\"\n";
        bool option = false;
        for (std::size_t i = 1; i < block.lines.size(); ++i) {
            const std::string_view line = block.lines[i];
            const std::size_t number = block.firstLine + i;
            const std::size_t indent = Indent(line);
            const std::string_view text = Trim(line);
            if (IsOptionLine(line) && indent < m_column) {
                std::string_view tag = text;
                std::string_view description;
                if (line.size() > m_column) {
                    // A tag may end a single space before the column; a gap before the column
                    // must end at it.
                    const std::size_t gap = line.find("  ", indent);
                    if (line[m_column - 1] != ' ' ||
                        (gap < m_column && line.find_first_not_of(' ', gap) != m_column)) {
                        error = AtLine(number, "the description does not start in column " +
                                                   std::to_string(m_column + 1) +
                                                   " as the other options' do");
                        return false;
                    }
                    tag = Trim(line.substr(0, m_column));
                    description = Trim(line.substr(m_column));
                }
                m_out += ".TP\n" + Tag(tag) + '\n';
                if (!description.empty()) {
                    m_out += TextLine(description);
                }
                option = true;
            } else if (option && indent >= m_column) {
                m_out += TextLine(text);
            } else {
                error = AtLine(number, "neither an option (indented, starting with '-') nor "
                                       "its description continued in column " +
                                           std::to_string(m_column + 1));
                return false;
            }
        }
        m_sectionHasText = true;
        return true;
    }

    std::string Take() { return std::move(m_out); }

private:
    void Section(const std::string& name) {
        m_out += ".SH " + name + '\n';
        m_section = name;
        m_sectionHasText = false;
    }

    std::size_t m_column;
    std::string m_out;
    std::string m_section;
    bool m_sectionHasText = false;
};

} // namespace

std::optional<std::string> ManualFromHelp(std::string_view help, std::string& error) {
    const std::vector<std::string_view> lines = SplitLines(help);
    const std::vector<Block> blocks = Blocks(lines);
    if (blocks.empty() || !blocks.front().lines.front().starts_with(kUsage)) {
        error = AtLine(blocks.empty() ? 1 : blocks.front().firstLine,
                       "a help text starts with \"" + std::string(kUsage) + "PROGRAM ...\"");
        return std::nullopt;
    }
    ManualWriter writer(DescriptionColumn(lines));
    writer.Synopsis(Trim(blocks.front().lines.front().substr(kUsage.size())));
    if (blocks.front().lines.size() > 1 && !writer.Paragraph(blocks.front(), 1, {}, error)) {
        return std::nullopt;
    }
    for (std::size_t b = 1; b < blocks.size(); ++b) {
        const Block& block = blocks[b];
        const std::string_view first = block.lines.front();
        const bool heading = Indent(first) == 0 && first.ends_with(':') && block.lines.size() > 1 &&
                             Indent(block.lines[1]) > 0;
        if (heading) {
            if (!writer.Options(block, error)) {
                return std::nullopt;
            }
        } else if (!writer.Paragraph(block, 0, Label(first), error)) {
            return std::nullopt;
        }
    }
    return writer.Take();
}

std::optional<std::string> FillManualTemplate(std::string_view manualTemplate,
                                              std::string_view sections, std::string& error) {
    std::string out;
    int found = 0;
    for (const std::string_view line : SplitLines(manualTemplate)) {
        if (line == kPlaceholder) {
            out += sections;
            ++found;
        } else {
            out += std::string(line) + '\n';
        }
    }
    if (found != 1) {
        error = "the template must hold the line " + std::string(kPlaceholder) + " once, not " +
                std::to_string(found) + " times";
        return std::nullopt;
    }
    return out;
}
