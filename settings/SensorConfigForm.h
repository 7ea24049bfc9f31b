#pragma once

#include "SensorConfigRecord.h"

#include <cstdint>
#include <string>

// What "Konfiguracja QAL" shows and edits, and how it maps onto the record. Only the output
// mode, output kind, DAC RS flag, range with its direction and the description are written
// back; everything else in the record goes back exactly as read.
struct SensorConfigForm {
    // What the dialog lets the user set as the range, in whole m/s.
    static constexpr int kMinRange = 5;
    static constexpr int kMaxRange = 20;

    SensorConfigRecord m_record;
    int m_nOutputMode = -1; // radio index: 0 one-directional, 1 two-directional
    std::string m_strSerial;
    std::int16_t m_nRange = 0; // whole m/s
    int m_nOutputKind = -1;    // radio index: 0 current, 1 voltage
    int m_bReversed = 0;
    std::string m_strDescription; // UTF-8
    int m_bDacRs = 0;
    std::int16_t m_nYear = 0;

    void RecordToFields();
    // False when the description holds a character the device cannot store; the description
    // then stays as read while the other fields are written.
    bool FieldsToRecord();
};
