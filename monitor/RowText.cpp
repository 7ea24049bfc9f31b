#include "RowText.h"

#include "LocalCalendar.h"
#include "RowDecoder.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string_view>

namespace {

constexpr const char* kTitles[kColumnCount] = {
    "Czas", "Odpowiedź [ms]", "Kierunek", "Adres", "Komenda", "Długość", "Dane", "Opis", "Suma",
};
constexpr const char* kToDevice = "do urządzenia";
constexpr const char* kFromDevice = "z urządzenia";
constexpr const char* kEvent = "zdarzenie";
constexpr const char* kNoise = "szum";

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

// One record's fields; false at the end of the input or for a broken quote.
bool ReadCsvRecord(std::istream& in, std::vector<std::string>& fields) {
    fields.assign(1, std::string());
    bool quoted = false;
    bool any = false;
    char c;
    while (in.get(c)) {
        any = true;
        if (quoted) {
            if (c != '"') {
                fields.back() += c;
            } else if (in.peek() == '"') {
                fields.back() += static_cast<char>(in.get());
            } else {
                quoted = false;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c == '\r' && in.peek() == '\n') {
            (void)in.get();
            return true;
        } else if (c == '\n') {
            return true;
        } else {
            fields.back() += c;
        }
    }
    return any && !quoted;
}

bool ParseInt(const std::string& text, long long& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    value = std::strtoll(text.c_str(), &end, 10);
    return *end == '\0';
}

} // namespace

const char* ColumnTitle(int column) {
    return column >= 0 && column < kColumnCount ? kTitles[column] : "";
}

std::string TimeOfDayText(std::int64_t wallUs) {
    const std::time_t seconds = static_cast<std::time_t>(wallUs / 1000000);
    std::tm local{};
    if (!ToLocalCalendar(seconds, local)) {
        return {};
    }
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min,
                  local.tm_sec, static_cast<int>(wallUs / 1000 % 1000));
    return text;
}

std::string CellText(const MonitorRow& row, int column) {
    switch (column) {
    case kColumnTime:
        return TimeOfDayText(row.wallUs);
    case kColumnAnswer: {
        if (row.answerUs < 0) {
            return {};
        }
        char text[32];
        std::snprintf(text, sizeof text, "%.1f", static_cast<double>(row.answerUs) / 1000.0);
        return text;
    }
    case kColumnDirection:
        switch (row.kind) {
        case RowKind::ToDevice:
            return kToDevice;
        case RowKind::FromDevice:
        case RowKind::Noise:
            return kFromDevice;
        case RowKind::Event:
            return kEvent;
        }
        return {};
    case kColumnAddress:
        return row.address < 0 ? std::string() : std::to_string(row.address);
    case kColumnCommand:
        return row.kind == RowKind::Noise ? kNoise : CommandText(row.command);
    case kColumnLength:
        return row.length < 0 ? std::string() : std::to_string(row.length);
    case kColumnHex:
        return row.hex;
    case kColumnSummary:
        return row.summary;
    case kColumnCheck:
        return row.check;
    default:
        return {};
    }
}

std::string RowLine(const MonitorRow& row) {
    std::string line;
    for (int column = 0; column < kColumnCount; ++column) {
        if (column != 0) {
            line += '\t';
        }
        line += CellText(row, column);
    }
    return line;
}

void WriteCsvHeading(std::ostream& out) {
    out << "czas_us,odpowiedz_us";
    for (const char* title : kTitles) {
        out << ',' << CsvField(title);
    }
    out << "\r\n";
}

void WriteCsvRow(std::ostream& out, const MonitorRow& row) {
    out << row.wallUs << ',' << row.answerUs;
    for (int column = 0; column < kColumnCount; ++column) {
        out << ',' << CsvField(CellText(row, column));
    }
    out << "\r\n";
}

void WriteCsv(std::ostream& out, const std::vector<MonitorRow>& rows) {
    WriteCsvHeading(out);
    for (const MonitorRow& row : rows) {
        WriteCsvRow(out, row);
    }
}

std::optional<std::vector<MonitorRow>> ReadCsv(std::istream& in, std::string& error) {
    std::vector<std::string> fields;
    if (!ReadCsvRecord(in, fields) || fields.size() != 2 + kColumnCount || fields[0] != "czas_us") {
        error = "to nie jest plik podglądu transmisji";
        return std::nullopt;
    }
    std::vector<MonitorRow> rows;
    for (int line = 2; ReadCsvRecord(in, fields); ++line) {
        long long wall = 0;
        long long answer = 0;
        if (fields.size() != 2 + kColumnCount || !ParseInt(fields[0], wall) ||
            !ParseInt(fields[1], answer)) {
            error = "błędny wiersz " + std::to_string(line);
            return std::nullopt;
        }
        const std::string* cell = fields.data() + 2;
        MonitorRow row;
        row.wallUs = wall;
        row.answerUs = answer;
        const std::string& direction = cell[kColumnDirection];
        const std::string& command = cell[kColumnCommand];
        row.kind = direction == kToDevice ? RowKind::ToDevice
                   : direction == kEvent  ? RowKind::Event
                   : command == kNoise    ? RowKind::Noise
                                          : RowKind::FromDevice;
        long long value = 0;
        row.address = ParseInt(cell[kColumnAddress], value) ? static_cast<int>(value) : -1;
        row.length = ParseInt(cell[kColumnLength], value) ? static_cast<int>(value) : -1;
        if (row.kind != RowKind::Noise && command.size() >= 3 && command[2] == 'h') {
            row.command = static_cast<int>(std::strtol(command.substr(0, 2).c_str(), nullptr, 16));
        }
        row.hex = cell[kColumnHex];
        row.summary = cell[kColumnSummary];
        row.check = cell[kColumnCheck];
        rows.push_back(std::move(row));
    }
    return rows;
}
