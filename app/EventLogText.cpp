#include "EventLogText.h"

#include <algorithm>

namespace {

constexpr std::string_view kLineBreak = "\r\n";
constexpr std::string_view kClearedText = "Clr screen";

int CountLineBreaks(std::string_view text) {
    int count = 0;
    for (std::size_t pos = text.find(kLineBreak); pos != std::string_view::npos;
         pos = text.find(kLineBreak, pos + kLineBreak.size())) {
        ++count;
    }
    return count;
}

} // namespace

void EventLogText::Append(std::string_view text, bool newLine) {
    // The test comes before the append, so one call may take the log past the threshold; the
    // next call clears it.
    if (m_lineCount > kClearAbove) {
        m_text = kClearedText;
        m_lineCount = 1;
        ++m_clears;
    }

    // Only the appended part is scanned, so the cost of a call does not grow with the log. A CR
    // at the end of the log and an LF at the start of the addition join into one more break.
    const bool joinsAcrossEnd = !m_text.empty() && m_text.back() == '\r';
    if (newLine) {
        m_text += kLineBreak;
        m_lineCount += 1;
    } else if (joinsAcrossEnd && !text.empty() && text.front() == '\n') {
        m_lineCount += 1;
    }
    m_text += text;
    m_lineCount += CountLineBreaks(text);
}

int EventLogText::FirstVisibleLine() const {
    return std::max(0, m_lineCount - kVisibleLines);
}
