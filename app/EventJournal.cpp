#include "EventJournal.h"

#include "FileReplace.h"
#include "FileReplaceStream.h"
#include "LocalCalendar.h"
#include "Utf8Path.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace {

std::string DateTimeText(std::int64_t wallUs) {
    const std::time_t seconds = static_cast<std::time_t>(wallUs / 1000000);
    std::tm local{};
    if (!ToLocalCalendar(seconds, local)) {
        return "(czas nieznany)";
    }
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<int>(wallUs / 1000 % 1000));
    return text;
}

} // namespace

void CEventJournal::StartLine(std::int64_t wallUs) {
    if (m_lines.size() >= m_capacity) {
        m_lines.pop_front();
        ++m_dropped;
    }
    m_lines.push_back({wallUs, std::string()});
}

void CEventJournal::Append(std::string_view text, bool newLine, std::int64_t wallUs) {
    if (newLine || m_lines.empty()) {
        StartLine(wallUs);
    }
    for (;;) {
        const std::size_t end = text.find("\r\n");
        m_lines.back().text.append(text.substr(0, end));
        if (end == std::string_view::npos) {
            return;
        }
        text.remove_prefix(end + 2);
        StartLine(wallUs);
    }
}

void CEventJournal::Append(std::string_view text, bool newLine) {
    Append(text, newLine,
           std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
               .count());
}

void CEventJournal::Write(std::ostream& out) const {
    if (m_dropped != 0) {
        out << "(pominięto " << m_dropped << " najstarszych wierszy)\n";
    }
    for (const Line& line : m_lines) {
        out << DateTimeText(line.wallUs) << "  " << line.text << '\n';
    }
}

bool SaveJournalFile(const CEventJournal& journal, const std::string& utf8Path,
                     std::error_code& error) {
    CFileReplacement replacement;
    if (replacement.Begin(PathFromUtf8(utf8Path), error) != FileReplaceResult::Written) {
        return false;
    }
    {
        CFileReplaceStreamBuf buffer(replacement);
        std::ostream out(&buffer);
        journal.Write(out);
    } // the last piece reaches the replacement here
    return replacement.Commit(error) == FileReplaceResult::Written;
}
