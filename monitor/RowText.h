#pragma once

#include "MonitorRow.h"

#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

// The columns of the monitor, in order, as its table and its files show them.
enum MonitorColumn {
    kColumnTime,
    kColumnAnswer,
    kColumnDirection,
    kColumnAddress,
    kColumnCommand,
    kColumnLength,
    kColumnHex,
    kColumnSummary,
    kColumnCheck,
    kColumnCount
};

// The heading of a column.
const char* ColumnTitle(int column);
// A row's text in one column.
std::string CellText(const MonitorRow& row, int column);

// Local time of day with milliseconds: "14:03:07.125".
std::string TimeOfDayText(std::int64_t wallUs);
// The row as one tab-separated line, without its end (copying and text files).
std::string RowLine(const MonitorRow& row);

// CSV (RFC 4180, comma, CR LF): a heading line, then per row its wall time in microseconds and
// its answer time followed by the columns as shown. Reading takes back exactly what was written.
void WriteCsv(std::ostream& out, const std::vector<MonitorRow>& rows);
// The same a line at a time, for rows made one by one.
void WriteCsvHeading(std::ostream& out);
void WriteCsvRow(std::ostream& out, const MonitorRow& row);
// Nothing, with the line in error, for a file that is not such a CSV.
std::optional<std::vector<MonitorRow>> ReadCsv(std::istream& in, std::string& error);
