#include "OutputsForm.h"

#include "ThresholdText.h"

#include <cstdint>

void OutputsForm::RecordToFields() {
    for (int output = 1; output <= kOutputs; ++output) {
        const int i = output - 1;
        m_bActive[i] = m_record.active(output) ? 1 : 0;
        m_bInverted[i] = m_record.inverted(output);
        m_strMin[i] = FormatThreshold(m_record.minThreshold(output));
        m_strMax[i] = FormatThreshold(m_record.maxThreshold(output));
    }
}

void OutputsForm::FieldsToRecord() {
    for (int output = 1; output <= kOutputs; ++output) {
        const int i = output - 1;
        m_record.setActive(output, (m_bActive[i] & 1) != 0);
        m_record.setInverted(output, static_cast<std::uint8_t>(m_bInverted[i] & 0xFF));
        // Validated thresholds lie within -200..200; after Cancel the record is not sent.
        m_record.setMinThreshold(output, static_cast<std::int16_t>(ThresholdValue(m_strMin[i])));
        m_record.setMaxThreshold(output, static_cast<std::int16_t>(ThresholdValue(m_strMax[i])));
    }
}
