#pragma once

#include "AlarmDataRecord.h"
#include "DeviceClock.h"
#include "ReaderDataRecord.h"
#include "SensorConfigRecord.h"

#include <cstdint>

// What the device keeps between requests: its three settings records, byte for byte as last
// written, and where its clock stands.
struct DeviceMemory {
    SensorConfigRecord sensorConfig;
    ReaderDataRecord readerData;
    AlarmDataRecord alarmData;
    std::int64_t clockOffsetSeconds = 0; // device clock minus UTC
};

// A freshly delivered QAL-1P whose clock shows the PC's local time at now. The bytes the
// terminal does not interpret are not zero, so that a terminal losing them is easy to see.
DeviceMemory DefaultDeviceMemory(WallClock::time_point now);
