#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The event log's text and view position, kept apart from any widget. Lines are separated by
// CR LF; a call that finds more than 200 lines starts over with "Clr screen"; after each call the
// view shows the last six lines.
class EventLogText {
public:
    static constexpr int kClearAbove = 200;
    static constexpr int kVisibleLines = 6;

    // newLine: the text starts a new line; otherwise it continues the last one.
    void Append(std::string_view text, bool newLine);

    const std::string& Text() const { return m_text; }
    // CR LF pairs + 1; an empty log counts as one line.
    int LineCount() const { return m_lineCount; }
    // Index of the first line in view: 0 up to six lines, else line count - 6.
    int FirstVisibleLine() const;
    // How often the text started over with "Clr screen": while this stays, the text only grows
    // at its end, and a view of it may add just what is new.
    std::uint64_t Clears() const { return m_clears; }

private:
    std::string m_text;
    int m_lineCount = 1;
    std::uint64_t m_clears = 0;
};
