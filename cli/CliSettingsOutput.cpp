#include "CliSettingsOutput.h"

#include "CliOutput.h"

namespace {

std::string JsonKeys(const std::vector<RecordKind>& records) {
    std::string text;
    for (const RecordKind kind : records) {
        text += (text.empty() ? "" : ",") + JsonText(InfoOf(kind).key);
    }
    return "[" + text + "]";
}

} // namespace

std::string RecordKeys(const std::vector<RecordKind>& records) {
    std::string text;
    for (const RecordKind kind : records) {
        text += (text.empty() ? "" : ", ") + std::string(InfoOf(kind).key);
    }
    return text;
}

std::vector<std::string> DiffLines(const SettingsComparison& comparison) {
    std::vector<std::string> lines;
    if (comparison.serialsDiffer) {
        // The first row is the sensor's serial number.
        lines.push_back("the file is from another sensor: serial number " +
                        comparison.fields[0].fileValue + ", this device " +
                        comparison.fields[0].deviceValue);
    }
    for (const ComparedField& field : comparison.fields) {
        if (field.changed) {
            lines.push_back(field.label + ": " + field.deviceValue + " → " + field.fileValue);
        }
    }
    for (const DifferingByte& difference : comparison.otherBytes) {
        lines.push_back(DescribeByte(difference));
    }
    if (comparison.recordsToWrite.empty()) {
        lines.emplace_back("no differences to write: the device has the file's settings");
    } else if (comparison.serialsDiffer) {
        lines.push_back("restore --clone would write: " + RecordKeys(comparison.recordsToWrite) +
                        " (keeping serial numbers and production year)");
    } else {
        lines.push_back("restore would write: " + RecordKeys(comparison.recordsToWrite));
    }
    return lines;
}

std::string DiffJson(const std::string& file, const SettingsComparison& comparison) {
    std::string rows;
    for (const ComparedField& field : comparison.fields) {
        rows += std::string(rows.empty() ? "" : ",") + "{\"label\":" + JsonText(field.label) +
                ",\"device\":" + JsonText(field.deviceValue) +
                ",\"file\":" + JsonText(field.fileValue) +
                ",\"changed\":" + (field.changed ? "true" : "false") + "}";
    }
    std::string bytes;
    for (const DifferingByte& difference : comparison.otherBytes) {
        bytes += std::string(bytes.empty() ? "" : ",") +
                 "{\"record\":" + JsonText(InfoOf(difference.record).key) +
                 ",\"offset\":" + std::to_string(difference.offset) +
                 ",\"device\":" + std::to_string(difference.deviceByte) +
                 ",\"file\":" + std::to_string(difference.fileByte) + "}";
    }
    const bool equal = comparison.recordsToWrite.empty() && !comparison.serialsDiffer;
    return "{\"file\":" + JsonText(file) + ",\"equal\":" + (equal ? "true" : "false") +
           ",\"serialsDiffer\":" + (comparison.serialsDiffer ? "true" : "false") + ",\"rows\":[" +
           rows + "],\"otherBytes\":[" + bytes +
           "],\"recordsToWrite\":" + JsonKeys(comparison.recordsToWrite) + "}";
}

std::vector<std::string> RestoreLines(const RestoreOutcome& outcome) {
    const struct {
        const char* text;
        const std::vector<RecordKind>& records;
    } parts[] = {
        {"written and verified: ", outcome.verified},
        {"written, but not read back as written: ", outcome.notVerified},
        {"no answer to the write (it may or may not have been done): ", outcome.unanswered},
        {"not written: ", outcome.notWritten},
    };
    std::vector<std::string> lines;
    for (const auto& part : parts) {
        if (!part.records.empty()) {
            lines.push_back(part.text + RecordKeys(part.records));
        }
    }
    return lines;
}

std::string RestoreJson(const std::string& file, bool clone, const std::vector<RecordKind>& toWrite,
                        bool confirmed, const RestoreOutcome& outcome) {
    return "{\"file\":" + JsonText(file) + ",\"clone\":" + (clone ? "true" : "false") +
           ",\"toWrite\":" + JsonKeys(toWrite) +
           ",\"confirmed\":" + (confirmed ? "true" : "false") +
           ",\"verified\":" + JsonKeys(outcome.verified) +
           ",\"notVerified\":" + JsonKeys(outcome.notVerified) +
           ",\"unanswered\":" + JsonKeys(outcome.unanswered) +
           ",\"notWritten\":" + JsonKeys(outcome.notWritten) + "}";
}
