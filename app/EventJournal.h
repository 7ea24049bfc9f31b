#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <ostream>
#include <string>
#include <string_view>
#include <system_error>

// Every line of the event log since the program started, each with the wall-clock time it was
// begun, kept apart from the pane (which starts over after 200 lines). Bounded: beyond the cap
// the oldest lines go, and the saved text says how many went.
class CEventJournal {
public:
    static constexpr std::size_t kDefaultCapacity = 100000;

    // At least one line is kept: the last line is continued in place.
    explicit CEventJournal(std::size_t capacity = kDefaultCapacity)
        : m_capacity(capacity == 0 ? 1 : capacity) {}

    // As EventLogText::Append: newLine starts a line, else the text continues the last one; CR LF
    // within the text starts further lines. wallUs: microseconds since 1970.
    void Append(std::string_view text, bool newLine, std::int64_t wallUs);
    // Append at the current time.
    void Append(std::string_view text, bool newLine);

    std::size_t Count() const { return m_lines.size(); }
    std::uint64_t Dropped() const { return m_dropped; }

    // UTF-8 text, one "YYYY-MM-DD HH:MM:SS.mmm  line" per line (local time), LF ends.
    void Write(std::ostream& out) const;

private:
    struct Line {
        std::int64_t wallUs;
        std::string text;
    };

    void StartLine(std::int64_t wallUs);

    const std::size_t m_capacity;
    std::deque<Line> m_lines;
    std::uint64_t m_dropped = 0;
};

// "Zapisz dziennik…": the journal as its file, put in place whole (see FileReplace); only a
// regular file or none is replaced. False, with the reason, when it could not be.
bool SaveJournalFile(const CEventJournal& journal, const std::string& utf8Path,
                     std::error_code& error);
