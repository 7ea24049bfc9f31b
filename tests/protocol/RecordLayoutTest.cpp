#include "AlarmDataRecord.h"
#include "MeasurementAnswer.h"
#include "ReaderDataRecord.h"
#include "SensorConfigRecord.h"
#include "TimeRecord.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace {

using Bytes = std::vector<std::uint8_t>;

template <std::size_t N> Bytes Slice(const std::array<std::uint8_t, N>& bytes, int from, int n) {
    return Bytes(bytes.begin() + from, bytes.begin() + from + n);
}

} // namespace

TEST(RecordLayout, AlarmThresholdsArePackedFiveBytesPerOutputFromOffsetTwo) {
    AlarmDataRecord record;
    record.bytes.fill(0xEE);
    record.setMinThreshold(1, 55);  // 0x0037
    record.setMaxThreshold(1, 120); // 0x0078
    record.setInverted(1, 1);
    record.setMinThreshold(2, -35);  // 0xFFDD
    record.setMaxThreshold(2, -200); // 0xFF38
    record.setInverted(2, 0);
    record.setMinThreshold(3, 258); // 0x0102
    record.setMaxThreshold(3, 513); // 0x0201
    record.setInverted(3, 2);

    EXPECT_EQ(Slice(record.bytes, 0, 20),
              (Bytes{0xEE, 0xEE, 0x37, 0x00, 0x78, 0x00, 0x01, 0xDD, 0xFF, 0x38,
                     0xFF, 0x00, 0x02, 0x01, 0x01, 0x02, 0x02, 0xEE, 0xEE, 0xEE}));
    EXPECT_EQ(record.minThreshold(2), -35);
    EXPECT_EQ(record.maxThreshold(2), -200);
    EXPECT_EQ(record.minThreshold(3), 258);
    EXPECT_EQ(record.maxThreshold(3), 513);
}

TEST(RecordLayout, AlarmActiveBitsLeaveTheDevicesOwnBitsAlone) {
    AlarmDataRecord record;
    record.setActiveOutputs(0xF1); // bits 0 and 4-7 belong to the device
    record.setActive(2, true);
    EXPECT_EQ(record.activeOutputs(), 0xF5);
    EXPECT_FALSE(record.active(1));
    EXPECT_TRUE(record.active(2));
    record.setActive(2, false);
    record.setActive(3, true);
    EXPECT_EQ(record.activeOutputs(), 0xF9);
}

TEST(RecordLayout, SensorConfigFieldsAndFlags) {
    SensorConfigRecord record;
    record.bytes.fill(0xEE);
    record.setSerialNumber(10000);
    record.setRange(-155);
    record.setFlags(0x80); // bit 7 belongs to the device
    record.setOutputKind(1);
    record.setDacRsPriority(1);
    record.setProductionYear(2020);

    EXPECT_EQ(Slice(record.bytes, 0, 11),
              (Bytes{0xEE, 0xEE, 0x10, 0x27, 0x65, 0xFF, 0xEE, 0xEE, 0xEE, 0xEE, 0xFD}));
    EXPECT_EQ(record.outputKind(), 1);
    EXPECT_EQ(record.outputMode(), 0);
    EXPECT_EQ(record.productionYear(), 2020);
    record.setProductionYear(2005);
    EXPECT_EQ(record.flags(), 0x85);
}

TEST(RecordLayout, DescriptionsFillTheirSixteenBytes) {
    SensorConfigRecord sensor;
    sensor.bytes.fill(0xEE);
    EXPECT_TRUE(sensor.setDescription("QAL"));
    EXPECT_EQ(Slice(sensor.bytes, 10, 18),
              (Bytes{0xEE, 'Q', 'A', 'L', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xEE}));
    // A text that fills the field has no zero byte; reading stops at the field's end.
    EXPECT_TRUE(sensor.setDescription("ABCDEFGHIJKLMNOP"));
    EXPECT_EQ(sensor.description(), "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(sensor.bytes[27], 0xEE);
    EXPECT_FALSE(sensor.setDescription("ABCDEFGHIJKLMNOPQ"));

    ReaderDataRecord reader;
    reader.bytes.fill(0xEE);
    reader.setSerialNumber(42);
    reader.setRecordInterval(250);
    EXPECT_TRUE(reader.setDescription("\xA3\xF3\x64\x9F")); // "Łódź" in Windows-1250
    EXPECT_EQ(Slice(reader.bytes, 0, 13),
              (Bytes{0xEE, 0xEE, 42, 0, 0xEE, 0xEE, 0xEE, 250, 0xA3, 0xF3, 0x64, 0x9F, 0}));
    EXPECT_EQ(Slice(reader.bytes, 23, 3), (Bytes{0, 0xEE, 0xEE}));
    EXPECT_EQ(reader.description(), "\xA3\xF3\x64\x9F");
}

TEST(RecordLayout, TimeAndMeasurement) {
    TimeRecord time;
    time.setSecond(9);
    time.setMinute(5);
    time.setHour(14);
    time.setDay(26);
    time.setMonth(3);
    time.setYear(2008);
    EXPECT_EQ(Slice(time.bytes, 0, 7), (Bytes{0x09, 0x05, 0x0E, 0x1A, 0x03, 0xD8, 0x07}));

    MeasurementAnswer reading;
    reading.setSpeed(-123);
    reading.setStatus(0x28);
    EXPECT_EQ(Slice(reading.bytes, 0, 8), (Bytes{0x85, 0xFF, 0, 0, 0, 0, 0x28, 0}));
    EXPECT_TRUE(reading.deviceInOrder());
    // The terminal shows an output as 1 while its bit is clear.
    EXPECT_TRUE(reading.outputOn(1));
    EXPECT_FALSE(reading.outputOn(2));
    EXPECT_TRUE(reading.outputOn(3));
    EXPECT_FALSE(reading.isModelMarker());
    reading.setSpeed(MeasurementAnswer::kModelMarker);
    EXPECT_EQ(Slice(reading.bytes, 0, 2), (Bytes{0xFF, 0x7F}));
}
