#include "DeviceMemory.h"

namespace {

constexpr std::uint16_t kSerialNumber = 1234;

SensorConfigRecord DefaultSensorConfig() {
    SensorConfigRecord record;
    record.bytes = {0x5A, 0x01, 0,    0,    0, 0, 0x10, 0x27, 0x00, 0x00, 0, 0,    0,
                    0,    0,    0,    0,    0, 0, 0,    0,    0,    0,    0, 0,    0,
                    0,    0x01, 0x02, 0x03, 0, 0, 0,    0,    0,    0,    0, 0xC4, 0x3B};
    record.setSerialNumber(kSerialNumber);
    record.setRange(200);    // 20.0 m/s, normal direction of rotation
    record.setOutputKind(0); // current output
    record.setOutputMode(0); // one-directional
    record.setDacRsPriority(0);
    record.setProductionYear(2019);
    (void)record.setDescription("QAL-1P"); // fits
    return record;
}

ReaderDataRecord DefaultReaderData() {
    ReaderDataRecord record;
    record.bytes = {0xA5, 0x02, 0, 0, 0x00, 0x80, 0x01, 0, 0, 0, 0, 0,    0,
                    0,    0,    0, 0, 0,    0,    0,    0, 0, 0, 0, 0x33, 0xCC};
    record.setSerialNumber(kSerialNumber);
    record.setRecordInterval(60);
    (void)record.setDescription("Czytnik QAL"); // fits
    return record;
}

AlarmDataRecord DefaultAlarmData() {
    AlarmDataRecord record;
    record.bytes[0] = 0x3C;
    record.bytes[1] = 0x03;
    record.bytes[18] = 0x0F;
    record.bytes[19] = 0xF0;
    // Output 1: any wind from 5.0 m/s; output 2: strong wind from 12.0 m/s; output 3 (calm
    // below 2.0 m/s, inverted) is switched off.
    record.setMinThreshold(1, 50);
    record.setMaxThreshold(1, 200);
    record.setMinThreshold(2, 120);
    record.setMaxThreshold(2, 200);
    record.setMinThreshold(3, 0);
    record.setMaxThreshold(3, 20);
    record.setInverted(3, 1);
    record.setActiveOutputs(0x81); // bits 0 and 7 are the device's own
    record.setActive(1, true);
    record.setActive(2, true);
    return record;
}

} // namespace

DeviceMemory DefaultDeviceMemory(WallClock::time_point now) {
    DeviceMemory memory;
    memory.sensorConfig = DefaultSensorConfig();
    memory.readerData = DefaultReaderData();
    memory.alarmData = DefaultAlarmData();
    memory.clockOffsetSeconds = LocalTimeOffset(now);
    return memory;
}
