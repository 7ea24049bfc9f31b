#pragma once

#include "DeviceRecords.h"

#include <string>
#include <vector>

// One setting a person reads, as the settings dialogs show it (their forms do the conversion).
struct DecodedField {
    RecordKind record;
    std::string key;   // in the file, unique within its record
    std::string label; // Polish
    std::string value; // UTF-8
};

// Every decoded field of the three records, in the order the dialogs show them.
std::vector<DecodedField> DecodeFields(const DeviceRecords& records);

// Whether bit `bit` of byte `offset` of a record means nothing to the terminal (it only travels
// back as read). Description bytes after the text's closing zero count as such too.
bool IsUninterpretedBit(const DeviceRecords& records, RecordKind kind, std::size_t offset, int bit);
