#include "OutputRule.h"

#include "MeasurementAnswer.h"

bool OutputOn(int output, std::int16_t speedTenths, const AlarmDataRecord& alarms) {
    if (!alarms.active(output)) {
        return false;
    }
    const bool within =
        speedTenths >= alarms.minThreshold(output) && speedTenths <= alarms.maxThreshold(output);
    return alarms.inverted(output) != 0 ? !within : within;
}

std::uint8_t MeasurementStatus(std::int16_t speedTenths, const AlarmDataRecord& alarms,
                               bool failure) {
    std::uint8_t status = failure ? 0 : MeasurementAnswer::kDeviceInOrder;
    for (int output = 1; output <= AlarmDataRecord::kOutputCount; ++output) {
        if (!OutputOn(output, speedTenths, alarms)) {
            status |= MeasurementAnswer::OutputBit(output);
        }
    }
    return status;
}
