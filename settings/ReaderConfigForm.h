#pragma once

#include "ReaderDataRecord.h"

#include <cstdint>
#include <string>

// What "Konfiguracja czytnika" shows and edits, and how it maps onto the record. Bytes 0-1, 4-6
// and 24-25 go back exactly as read.
struct ReaderConfigForm {
    ReaderDataRecord m_record;
    std::uint32_t m_nSerial = 0;
    std::string m_strDescription; // UTF-8
    std::uint8_t m_nInterval = 0; // seconds between recordings

    void RecordToFields();
    // False when the description holds a character the device cannot store; the description
    // then stays as read while the other fields are written.
    bool FieldsToRecord();
};
