#include "SensorConfigForm.h"

#include "DescriptionText.h"

#include <cstdio>
#include <cstdlib>

void SensorConfigForm::RecordToFields() {
    char serial[16];
    std::snprintf(serial, sizeof serial, "%03u", unsigned{m_record.serialNumber()});
    m_strSerial = serial;
    m_bDacRs = m_record.dacRsPriority();
    m_nOutputMode = m_record.outputMode();
    m_nOutputKind = m_record.outputKind();
    // Whole m/s, the tenths dropped; the sign is the direction of rotation.
    const int range = m_record.range();
    m_nRange = static_cast<std::int16_t>(std::abs(range) / 10);
    m_strDescription = DescriptionForDisplay(m_record.description());
    m_nYear = static_cast<std::int16_t>(m_record.productionYear());
    if (range < 0) {
        m_bReversed = 1;
    }
}

bool SensorConfigForm::FieldsToRecord() {
    m_record.setOutputMode(m_nOutputMode & 1);
    m_record.setDacRsPriority(m_bDacRs & 1);
    m_record.setOutputKind(m_nOutputKind & 1);
    m_record.setRange(static_cast<std::int16_t>(m_nRange * (m_bReversed == 1 ? -10 : 10)));
    return StoreDescription(m_strDescription, m_record);
}
