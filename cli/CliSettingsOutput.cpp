#include "CliSettingsOutput.h"

#include "CliOutput.h"

#include <cstdio>

namespace {

std::string JsonKeys(const std::vector<RecordKind>& records) {
    std::string text;
    for (const RecordKind kind : records) {
        text += (text.empty() ? "" : ",") + JsonText(InfoOf(kind).key);
    }
    return "[" + text + "]";
}

// "sensorConfig byte 7: 0x12 → 0x34"
std::string ByteLine(const DifferingByte& difference) {
    char text[128];
    std::snprintf(text, sizeof text, "%s byte %zu: 0x%02X → 0x%02X", InfoOf(difference.record).key,
                  difference.offset, unsigned{difference.deviceByte},
                  unsigned{difference.fileByte});
    return text;
}

} // namespace

std::string SettingsProblemEnglish(const SettingsProblem& problem) {
    using Kind = SettingsProblem::Kind;
    const std::string record = std::string("the ") + InfoOf(problem.record).key + " record";
    switch (problem.kind) {
    case Kind::None:
        return {};
    case Kind::Unreadable:
        return "cannot read the file: " + problem.error.message();
    case Kind::TooBig:
        return "the file is too big (over 1 MB) to be a settings file";
    case Kind::NotJson:
        return "not a settings file: not valid JSON" +
               (problem.detail.empty() ? std::string()
                                       : " (" + problem.detail + " at character " +
                                             std::to_string(problem.number) + ")");
    case Kind::OtherFormat:
        return "not a QAL device settings file (another format)";
    case Kind::NewerVersion:
        return "written in a newer version of the format (" + std::to_string(problem.number) +
               "); this program knows version 1: use a newer program";
    case Kind::BadVersion:
        return "the file's format version is missing or not valid";
    case Kind::MissingRecord:
        return "the file has no " + std::string(InfoOf(problem.record).key) + " record";
    case Kind::NotHex:
        return record + " in the file is not hexadecimal";
    case Kind::WrongSize: {
        const std::size_t size = BytesOf(DeviceRecords{}, problem.record).size();
        return record + " in the file has " + std::to_string(problem.number / 2) +
               (problem.number % 2 != 0 ? ".5" : "") + " bytes instead of " + std::to_string(size);
    }
    case Kind::EditedField:
        return std::string(InfoOf(problem.record).key) + "." + problem.detail +
               " does not agree with the record's bytes (" + problem.value +
               "): the file was edited by hand and is not used";
    }
    return {};
}

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
        lines.push_back(ByteLine(difference));
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
        rows += std::string(rows.empty() ? "" : ",") +
                "{\"record\":" + JsonText(InfoOf(field.record).key) +
                ",\"key\":" + JsonText(field.key) + ",\"label\":" + JsonText(field.label) +
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
