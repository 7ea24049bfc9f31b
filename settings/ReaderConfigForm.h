#pragma once

#include "ReaderDataRecord.h"

#include <cstdint>
#include <string>

// What "Konfiguracja czytnika" shows and edits, and how it maps onto the record. Bytes 0-1, 4-6
// and 24-25 go back exactly as read.
struct ReaderConfigForm {
    // What the dialog takes.
    static constexpr int kMinSerial = 1;
    static constexpr int kMaxSerial = 65000;
    static constexpr int kMinInterval = 1;
    static constexpr int kMaxInterval = 250;

    ReaderDataRecord m_record;
    std::uint32_t m_nSerial = 0;
    std::string m_strDescription; // UTF-8
    std::uint8_t m_nInterval = 0; // seconds between recordings

    void RecordToFields();
    // False when the description holds a character the device cannot store; the description
    // then stays as read while the other fields are written.
    bool FieldsToRecord();
};
