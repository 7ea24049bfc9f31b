#include "MonitorFile.h"

#include "FileReplace.h"
#include "FileReplaceStream.h"
#include "RowText.h"
#include "Utf8Path.h"

#include <algorithm>
#include <cctype>
#include <ostream>

namespace {

bool NamesCsv(const std::string& path) {
    constexpr std::string_view kCsv = ".csv";
    return path.size() >= kCsv.size() &&
           std::equal(kCsv.begin(), kCsv.end(), path.end() - kCsv.size(), [](char a, char b) {
               return a == std::tolower(static_cast<unsigned char>(b));
           });
}

} // namespace

bool SaveMonitorRows(const CMonitorRows& rows, const std::string& utf8Path,
                     std::error_code& error) {
    CFileReplacement replacement;
    if (replacement.Begin(PathFromUtf8(utf8Path), error) != FileReplaceResult::Written) {
        return false;
    }
    {
        // Made into text one row at a time, so that saving needs no second copy of the store.
        CFileReplaceStreamBuf buffer(replacement);
        std::ostream out(&buffer);
        const bool csv = NamesCsv(utf8Path);
        if (csv) {
            WriteCsvHeading(out);
        } else {
            for (int column = 0; column < kColumnCount; ++column) {
                out << (column == 0 ? "" : "\t") << ColumnTitle(column);
            }
            out << '\n';
        }
        for (std::size_t i = 0; i < rows.Count(); ++i) {
            const MonitorRow row = rows.At(i);
            if (csv) {
                WriteCsvRow(out, row);
            } else {
                out << RowLine(row) << '\n';
            }
        }
    } // the last piece reaches the replacement here; a failed write is reported by Commit
    return replacement.Commit(error) == FileReplaceResult::Written;
}
