#pragma once

#include "DeviceRecords.h"

#include <string>
#include <system_error>

// Why a file was not taken as a settings file, for messages in any language.
struct SettingsProblem {
    enum class Kind {
        None,
        Unreadable,    // error: the system's reason
        TooBig,        // over the size limit (1 MB)
        NotJson,       // detail: the parser's reason (empty: JSON, but no object), number: where
        OtherFormat,   // another "format"
        NewerVersion,  // number: the file's format version
        BadVersion,    // formatVersion missing, not a number, or below 1
        MissingRecord, // record
        NotHex,        // record
        WrongSize,     // record; number: hex digits in the file
        EditedField,   // record; detail: the field's key, label: its Polish label, value: what
                       // the record's bytes say
    };
    Kind kind = Kind::None;
    std::error_code error;
    RecordKind record = RecordKind::SensorConfig;
    long long number = 0;
    std::string detail;
    std::string label;
    std::string value;
};
