#include "ReaderConfigForm.h"

#include "DescriptionText.h"

void ReaderConfigForm::RecordToFields() {
    m_nSerial = m_record.serialNumber();
    m_strDescription = DescriptionForDisplay(m_record.description());
    m_nInterval = m_record.recordInterval();
}

bool ReaderConfigForm::FieldsToRecord() {
    m_record.setSerialNumber(static_cast<std::uint16_t>(m_nSerial & 0xFFFF));
    m_record.setRecordInterval(m_nInterval);
    return StoreDescription(m_strDescription, m_record);
}
