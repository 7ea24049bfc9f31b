#include "DecodedFields.h"

#include "OutputsForm.h"
#include "ReaderConfigForm.h"
#include "SensorConfigForm.h"

#include <algorithm>

namespace {

const char* YesNo(int on) {
    return on != 0 ? "tak" : "nie";
}

// The description's text ends at its first zero byte; the bytes after it are not shown.
bool AfterDescriptionText(std::span<const std::uint8_t> bytes, std::size_t start, std::size_t size,
                          std::size_t offset) {
    if (offset <= start || offset >= start + size) {
        return false;
    }
    const auto text = bytes.subspan(start, size);
    const auto zero = std::find(text.begin(), text.end(), std::uint8_t{0});
    return offset > start + static_cast<std::size_t>(zero - text.begin());
}

} // namespace

std::vector<DecodedField> DecodeFields(const DeviceRecords& records) {
    std::vector<DecodedField> fields;
    const auto add = [&](RecordKind kind, std::string key, std::string label, std::string value) {
        fields.push_back({kind, std::move(key), std::move(label), std::move(value)});
    };

    SensorConfigForm config;
    config.m_record = records.config;
    config.RecordToFields();
    constexpr RecordKind kConfig = RecordKind::SensorConfig;
    add(kConfig, "serialNumber", "Nr fabryczny", config.m_strSerial);
    add(kConfig, "productionYear", "Rok produkcji", std::to_string(config.m_nYear));
    add(kConfig, "range", "Zakres [m/s]", std::to_string(config.m_nRange));
    add(kConfig, "reversed", "Odwrócony kierunek wirowania", YesNo(config.m_bReversed));
    add(kConfig, "outputMode", "Tryb wyjścia",
        config.m_nOutputMode == 1 ? "dwukierunkowe" : "jednokierunkowe");
    add(kConfig, "outputKind", "Rodzaj wyjścia", config.m_nOutputKind == 1 ? "napięcie" : "prąd");
    add(kConfig, "dacRs", "Tryb DAC RS - priorytet", YesNo(config.m_bDacRs));
    add(kConfig, "description", "Opis", config.m_strDescription);

    ReaderConfigForm reader;
    reader.m_record = records.reader;
    reader.RecordToFields();
    constexpr RecordKind kReader = RecordKind::ReaderData;
    add(kReader, "serialNumber", "Czytnik: nr fabryczny", std::to_string(reader.m_nSerial));
    add(kReader, "recordInterval", "Czytnik: okres zapisu [s]", std::to_string(reader.m_nInterval));
    add(kReader, "description", "Czytnik: opis", reader.m_strDescription);

    OutputsForm outputs;
    outputs.m_record = records.alarms;
    outputs.RecordToFields();
    for (int i = 0; i < OutputsForm::kOutputs; ++i) {
        const std::string n = std::to_string(i + 1);
        const std::string key = "output" + n + ".";
        const std::string label = "Wyjście " + n + ": ";
        add(RecordKind::Outputs, key + "min", label + "próg min [m/s]", outputs.m_strMin[i]);
        add(RecordKind::Outputs, key + "max", label + "próg max [m/s]", outputs.m_strMax[i]);
        add(RecordKind::Outputs, key + "active", label + "aktywne", YesNo(outputs.m_bActive[i]));
        add(RecordKind::Outputs, key + "inverted", label + "inw",
            std::to_string(outputs.m_bInverted[i]));
    }
    return fields;
}

bool IsUninterpretedBit(const DeviceRecords& records, RecordKind kind, std::size_t offset,
                        int bit) {
    const auto bytes = BytesOf(records, kind);
    switch (kind) {
    case RecordKind::SensorConfig:
        return offset < 2 || (offset >= 6 && offset <= 9) || offset >= 27 ||
               (offset == 10 && bit == 7) ||
               AfterDescriptionText(bytes, 11, SensorConfigRecord::kDescriptionSize, offset);
    case RecordKind::ReaderData:
        return offset < 2 || (offset >= 4 && offset <= 6) || offset >= 24 ||
               AfterDescriptionText(bytes, 8, ReaderDataRecord::kDescriptionSize, offset);
    case RecordKind::Outputs:
        return offset < 2 || offset >= 18 ||
               (offset == AlarmDataRecord::kActiveOutputsOffset && (bit == 0 || bit >= 4));
    }
    return false;
}
