#pragma once

#include "AlarmDataRecord.h"

#include <cstdint>
#include <string>

// What "Konfiguracja wyjść" shows and edits, and how it maps onto the record. Each array holds
// outputs 1, 2, 3 in that order. Bytes 0-1 and 18-19 and bits 0 and 4-7 of the active byte go
// back exactly as read.
struct OutputsForm {
    static constexpr int kOutputs = AlarmDataRecord::kOutputCount;
    // Thresholds the dialog takes, in tenths of m/s; an upper one also no lower than its lower.
    static constexpr std::int16_t kLowestThreshold = -200;
    static constexpr std::int16_t kHighestThreshold = 200;

    AlarmDataRecord m_record;
    int m_bInverted[kOutputs] = {}; // the whole byte; a check box takes 0, 1 and 2
    std::string m_strMin[kOutputs]; // thresholds as m/s with one decimal
    std::string m_strMax[kOutputs];
    int m_bActive[kOutputs] = {};

    void RecordToFields();
    void FieldsToRecord();
};
