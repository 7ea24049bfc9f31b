#include "SettingsComparison.h"

#include "DialogLimits.h"

#include <algorithm>
#include <cstdio>

DeviceRecords CloneOnto(const DeviceRecords& device, const DeviceRecords& file) {
    DeviceRecords clone = file;
    clone.config.setSerialNumber(device.config.serialNumber());
    clone.config.setProductionYear(device.config.productionYear());
    clone.reader.setSerialNumber(device.reader.serialNumber());
    return clone;
}

SettingsComparison CompareSettings(const DeviceRecords& device, const DeviceRecords& file) {
    SettingsComparison result;
    result.serialsDiffer = device.config.serialNumber() != file.config.serialNumber();
    result.target = result.serialsDiffer ? CloneOnto(device, file) : file;

    const std::vector<DecodedField> deviceFields = DecodeFields(device);
    const std::vector<DecodedField> fileFields = DecodeFields(file);
    std::vector<bool> recordHasChangedRow(kAllRecords.size(), false);
    for (std::size_t i = 0; i < deviceFields.size(); ++i) {
        const bool changed = deviceFields[i].value != fileFields[i].value;
        result.fields.push_back({deviceFields[i].label, deviceFields[i].value, fileFields[i].value,
                                 changed, deviceFields[i].record, deviceFields[i].key});
        if (changed) {
            recordHasChangedRow[static_cast<std::size_t>(deviceFields[i].record)] = true;
        }
    }

    for (const RecordKind kind : kAllRecords) {
        const auto deviceBytes = BytesOf(device, kind);
        const auto fileBytes = BytesOf(file, kind);
        // Bytes a field shows but does not show whole (the tenths of the range) are listed too
        // when no row explains why the record differs.
        const bool listAll = !recordHasChangedRow[static_cast<std::size_t>(kind)];
        for (std::size_t offset = 0; offset < deviceBytes.size(); ++offset) {
            const unsigned differing = deviceBytes[offset] ^ fileBytes[offset];
            bool unseen = false;
            for (int bit = 0; bit < 8 && !unseen; ++bit) {
                unseen = (differing >> bit & 1U) != 0 &&
                         (listAll || (IsUninterpretedBit(device, kind, offset, bit) &&
                                      IsUninterpretedBit(file, kind, offset, bit)));
            }
            if (unseen) {
                result.otherBytes.push_back({kind, offset, deviceBytes[offset], fileBytes[offset]});
            }
        }
        if (!std::equal(deviceBytes.begin(), deviceBytes.end(),
                        BytesOf(result.target, kind).begin())) {
            result.recordsToWrite.push_back(kind);
        }
    }
    result.beyondDialogLimits =
        ValuesBeyondDialogLimits(device, result.target, result.recordsToWrite);
    return result;
}

std::string DescribeByte(const DifferingByte& difference) {
    char text[128];
    std::snprintf(text, sizeof text, "%s, bajt %zu: 0x%02X → 0x%02X",
                  InfoOf(difference.record).name, difference.offset,
                  unsigned{difference.deviceByte}, unsigned{difference.fileByte});
    return text;
}
