#pragma once

#include "AlarmDataRecord.h"

#include <cstdint>

// Whether threshold output 1, 2 or 3 is on at a speed (tenths of m/s). An inactive output is
// off. An active one is on while the speed lies within its thresholds, both included; an
// inverted one (inverted byte not 0) is on exactly while the speed lies outside them.
bool OutputOn(int output, std::int16_t speedTenths, const AlarmDataRecord& alarms);

// Status byte of a measurement answer: bit 3 set while the device is in order, and the bit of
// each output clear while that output is on (the terminal shows a clear bit as 1).
std::uint8_t MeasurementStatus(std::int16_t speedTenths, const AlarmDataRecord& alarms,
                               bool failure);
