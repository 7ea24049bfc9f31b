#include "DeviceModel.h"
#include "DeviceCommands.h"
#include "MeasurementAnswer.h"
#include "OutputRule.h"
#include "TestMessages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using namespace std::chrono_literals;

// 2008-03-26 14:05:09 UTC: the device clock runs on UTC here (offset 0), so nothing depends on
// the time zone of the machine that runs the tests.
const WallClock::time_point kWall = WallClock::from_time_t(1206540309);
const std::chrono::steady_clock::time_point kSteady{};

std::vector<std::uint8_t> Payload(const LinkMessage& message) {
    return {message.payload, message.payload + message.length};
}

class DeviceModelTest : public ::testing::Test {
protected:
    DeviceModelTest() { memory.clockOffsetSeconds = 0; }

    CDeviceModel Device() const { return CDeviceModel(behaviour, memory); }

    DeviceReply Ask(CDeviceModel& device, const LinkMessage& request,
                    std::chrono::seconds later = 0s) {
        return device.Handle(request, DeviceNow{kWall + later, kSteady + later});
    }

    std::int16_t Speed(CDeviceModel& device, std::chrono::seconds later = 0s) {
        const DeviceReply reply = Ask(device, MakeMessage(CMD_READ_MEASUREMENT, {0, 0, 0}), later);
        EXPECT_TRUE(reply.answer.has_value());
        return reply.answer ? static_cast<std::int16_t>(reply.answer->payload[0] |
                                                        (reply.answer->payload[1] << 8))
                            : 0;
    }

    DeviceBehaviour behaviour;
    DeviceMemory memory = DefaultDeviceMemory(kWall);
};

} // namespace

TEST_F(DeviceModelTest, AnswersEveryCommandWithItsCodeAndTheDeviceAddress) {
    behaviour.address = 7;
    CDeviceModel device = Device();
    const struct {
        LinkMessage request;
        int answerLength;
    } table[] = {
        {MakeMessage(CMD_READ_VERSION, {}, 7), 18},
        {MakeMessage(CMD_READ_MEASUREMENT, {0, 0, 0}, 7), 8},
        {MakeMessage(CMD_READ_CONFIG, {}, 7), 39},
        {MakeMessage(CMD_READ_ALARMS, {}, 7), 20},
        {MakeMessage(CMD_READ_READER, {}, 7), 26},
        {MakeMessage(CMD_READ_TIME, {}, 7), 7},
        {MakeMessage(CMD_WRITE_CONFIG, std::vector<std::uint8_t>(39), 7), 0},
        {MakeMessage(CMD_WRITE_ALARMS, std::vector<std::uint8_t>(20), 7), 0},
        {MakeMessage(CMD_WRITE_READER, std::vector<std::uint8_t>(26), 7), 0},
        {MakeMessage(CMD_WRITE_TIME, {0, 0, 12, 1, 1, 0xD0, 0x07}, 7), 0},
    };
    for (const auto& row : table) {
        const DeviceReply reply = Ask(device, row.request);
        ASSERT_TRUE(reply.answer) << "command " << int(row.request.command);
        EXPECT_EQ(reply.answer->command, row.request.command);
        EXPECT_EQ(reply.answer->address, 7);
        EXPECT_EQ(reply.answer->length, row.answerLength) << int(row.request.command);
    }
    // Another address, the unused codes and a text from the terminal get no answer.
    for (std::uint8_t other : {0, 6, 8, 31, 255}) { // lower and higher addresses alike
        EXPECT_FALSE(Ask(device, MakeMessage(CMD_READ_VERSION, {}, other)).answer) << int(other);
    }
    for (std::uint8_t command : {0x27, 0x28, 0xA0, 0x00}) {
        EXPECT_FALSE(Ask(device, MakeMessage(command, {}, 7)).answer) << int(command);
    }
}

TEST_F(DeviceModelTest, VersionAnswerIsNumberThenZeroEndedText) {
    CDeviceModel device = Device();
    const DeviceReply reply = Ask(device, MakeMessage(CMD_READ_VERSION));
    ASSERT_TRUE(reply.answer);
    const std::vector<std::uint8_t> expected = {3,   'Q', 'A', 'L', '-', '1', 'P', ' ', 's',
                                                'y', 'm', 'u', 'l', 'a', 't', 'o', 'r', 0};
    EXPECT_EQ(Payload(*reply.answer), expected);
}

TEST_F(DeviceModelTest, WrittenRecordsReadBackByteForByte) {
    CDeviceModel device = Device();
    const struct {
        std::uint8_t write, read;
        std::size_t size;
    } records[] = {{CMD_WRITE_CONFIG, CMD_READ_CONFIG, 39},
                   {CMD_WRITE_ALARMS, CMD_READ_ALARMS, 20},
                   {CMD_WRITE_READER, CMD_READ_READER, 26}};
    for (const auto& record : records) {
        std::vector<std::uint8_t> bytes(record.size);
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            bytes[i] = static_cast<std::uint8_t>(0xFF - 7 * i - record.write);
        }
        const DeviceReply written = Ask(device, MakeMessage(record.write, bytes));
        ASSERT_TRUE(written.answer);
        EXPECT_TRUE(written.memoryChanged);
        const DeviceReply read = Ask(device, MakeMessage(record.read));
        ASSERT_TRUE(read.answer);
        EXPECT_EQ(Payload(*read.answer), bytes) << "command " << int(record.read);
    }
}

TEST_F(DeviceModelTest, WriteOfTheWrongSizeIsRefusedAndChangesNothing) {
    CDeviceModel device = Device();
    const auto before = device.Memory().sensorConfig.bytes;
    for (std::size_t size : {0, 38, 40}) {
        const DeviceReply reply =
            Ask(device, MakeMessage(CMD_WRITE_CONFIG, std::vector<std::uint8_t>(size, 0x55)));
        EXPECT_FALSE(reply.answer) << size;
        EXPECT_FALSE(reply.memoryChanged);
        EXPECT_FALSE(reply.refusal.empty());
    }
    EXPECT_EQ(device.Memory().sensorConfig.bytes, before);
}

// A device that takes a write wrongly, for tests of what notices it: one that keeps silent and
// changes nothing, and one that confirms and keeps something else.
TEST_F(DeviceModelTest, WritesCanBeIgnoredOrAltered) {
    const struct {
        WriteMode mode;
        bool answered;
        bool stored;
    } cases[] = {
        {WriteMode::Keep, true, true},
        {WriteMode::Ignore, false, false},
        {WriteMode::Alter, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        behaviour.writes = c.mode;
        CDeviceModel device = Device();
        std::vector<std::uint8_t> bytes(20, 0x11);
        const DeviceReply written = Ask(device, MakeMessage(CMD_WRITE_ALARMS, bytes));
        EXPECT_EQ(written.answer.has_value(), c.answered);
        EXPECT_EQ(written.memoryChanged, c.stored);
        std::vector<std::uint8_t> kept(bytes);
        if (c.mode == WriteMode::Alter) {
            kept.back() = 0xEE; // the last byte inverted
        }
        const auto read = Ask(device, MakeMessage(CMD_READ_ALARMS)).answer;
        ASSERT_TRUE(read);
        EXPECT_EQ(Payload(*read) == kept, c.stored);

        const std::vector<std::uint8_t> time = {9, 8, 7, 6, 5, 0xD0, 0x07}; // 2000-05-06 07:08:09
        EXPECT_EQ(Ask(device, MakeMessage(CMD_WRITE_TIME, time)).answer.has_value(), c.answered);
    }
}

TEST_F(DeviceModelTest, ClockKeepsTheWrittenTimeAndTicksOn) {
    CDeviceModel device = Device();
    auto timeAt = [&](std::chrono::seconds later) {
        const DeviceReply reply = Ask(device, MakeMessage(CMD_READ_TIME), later);
        return reply.answer ? Payload(*reply.answer) : std::vector<std::uint8_t>{};
    };
    EXPECT_EQ(timeAt(0s), (std::vector<std::uint8_t>{9, 5, 14, 26, 3, 0xD8, 0x07}));

    // Set to 2024-02-28 23:59:30; 45 seconds later it is leap day.
    ASSERT_TRUE(Ask(device, MakeMessage(CMD_WRITE_TIME, {30, 59, 23, 28, 2, 0xE8, 0x07})).answer);
    EXPECT_EQ(timeAt(0s), (std::vector<std::uint8_t>{30, 59, 23, 28, 2, 0xE8, 0x07}));
    EXPECT_EQ(timeAt(45s), (std::vector<std::uint8_t>{15, 0, 0, 29, 2, 0xE8, 0x07}));
    EXPECT_EQ(device.Memory().clockOffsetSeconds, 1709164770 - 1206540309);
}

TEST_F(DeviceModelTest, TimeThatIsNoValidDateIsRefused) {
    CDeviceModel device = Device();
    const std::vector<std::uint8_t> invalid[] = {
        {0, 0, 12, 30, 2, 0xE8, 0x07}, // 30 February
        {0, 0, 24, 1, 1, 0xE8, 0x07},  // hour 24
        {60, 0, 12, 1, 1, 0xE8, 0x07}, // second 60
        {0, 0, 12, 1, 13, 0xE8, 0x07}, // month 13
        {0, 0, 12, 0, 1, 0xE8, 0x07},  // day 0
        {0, 0, 12, 1, 1, 0xE8},        // too short
    };
    for (const auto& time : invalid) {
        EXPECT_FALSE(Ask(device, MakeMessage(CMD_WRITE_TIME, time)).answer);
    }
    EXPECT_EQ(device.Memory().clockOffsetSeconds, 0);
}

TEST(OutputRule, OutputsFollowThresholdsActivityAndInversion) {
    AlarmDataRecord alarms;
    alarms.setMinThreshold(1, 50);
    alarms.setMaxThreshold(1, 120);
    alarms.setActive(1, true);
    EXPECT_FALSE(OutputOn(1, 49, alarms));
    EXPECT_TRUE(OutputOn(1, 50, alarms)); // both thresholds included
    EXPECT_TRUE(OutputOn(1, 120, alarms));
    EXPECT_FALSE(OutputOn(1, 121, alarms));

    alarms.setInverted(1, 1);
    EXPECT_TRUE(OutputOn(1, 49, alarms));
    EXPECT_FALSE(OutputOn(1, 50, alarms));
    EXPECT_TRUE(OutputOn(1, -300, alarms));

    alarms.setActive(1, false); // an inactive output is off, inverted or not
    EXPECT_FALSE(OutputOn(1, 49, alarms));
    EXPECT_FALSE(OutputOn(1, 80, alarms));
}

TEST(OutputRule, StatusBitIsClearWhileItsOutputIsOn) {
    AlarmDataRecord alarms;
    for (int output = 1; output <= 3; ++output) {
        alarms.setMinThreshold(output, static_cast<std::int16_t>(output * 100));
        alarms.setMaxThreshold(output, 1000);
        alarms.setActive(output, true);
    }
    // At 25.0 m/s outputs 1 and 2 are on, output 3 (from 30.0 m/s) off.
    EXPECT_EQ(MeasurementStatus(250, alarms, false), 0x08 | 0x40);
    EXPECT_EQ(MeasurementStatus(250, alarms, true), 0x40);
    EXPECT_EQ(MeasurementStatus(0, alarms, false), 0x08 | 0x10 | 0x20 | 0x40);
}

TEST_F(DeviceModelTest, ReadingsReportTheOutputsOfTheStoredAlarmRecord) {
    behaviour.modelMarker = ModelMarkerMode::Never;
    behaviour.fixedSpeed = 125;
    CDeviceModel device = Device();
    // Defaults: output 1 from 5.0, output 2 from 12.0 m/s, output 3 inactive.
    DeviceReply reply = Ask(device, MakeMessage(CMD_READ_MEASUREMENT, {0, 0, 0}));
    ASSERT_TRUE(reply.answer);
    EXPECT_EQ(Payload(*reply.answer), (std::vector<std::uint8_t>{125, 0, 0, 0, 0, 0, 0x48, 0}));

    AlarmDataRecord alarms = device.Memory().alarmData;
    alarms.setMinThreshold(2, 130);
    alarms.setActive(3, true); // output 3: inverted, 0.0 to 2.0 m/s, so on at 12.5
    std::vector<std::uint8_t> bytes(alarms.bytes.begin(), alarms.bytes.end());
    ASSERT_TRUE(Ask(device, MakeMessage(CMD_WRITE_ALARMS, bytes)).answer);
    reply = Ask(device, MakeMessage(CMD_READ_MEASUREMENT, {0, 0, 0}));
    ASSERT_TRUE(reply.answer);
    EXPECT_EQ(reply.answer->payload[6], 0x08 | 0x20);
}

TEST_F(DeviceModelTest, ModelMarkerModes) {
    const std::int16_t marker = MeasurementAnswer::kModelMarker;

    behaviour.modelMarker = ModelMarkerMode::Always;
    CDeviceModel always = Device();
    EXPECT_EQ(Speed(always), marker);
    EXPECT_EQ(Speed(always, 1s), marker);

    behaviour.modelMarker = ModelMarkerMode::Never;
    CDeviceModel never = Device();
    for (int i = 0; i < 50; ++i) {
        EXPECT_NE(Speed(never, std::chrono::seconds(i)), marker);
    }

    // First: once per session; a pause without requests starts a new session.
    behaviour.modelMarker = ModelMarkerMode::First;
    behaviour.sessionGap = 5s;
    CDeviceModel first = Device();
    EXPECT_EQ(Speed(first, 0s), marker);
    EXPECT_NE(Speed(first, 1s), marker);
    ASSERT_TRUE(Ask(first, MakeMessage(CMD_READ_VERSION), 5s).answer); // 4 s: the same session
    EXPECT_NE(Speed(first, 9s), marker);
    EXPECT_EQ(Speed(first, 14s), marker);
    EXPECT_NE(Speed(first, 15s), marker);
}

TEST_F(DeviceModelTest, FailureClearsTheInOrderBit) {
    behaviour.modelMarker = ModelMarkerMode::Never;
    CDeviceModel healthy = Device();
    behaviour.failure = true;
    CDeviceModel failing = Device();
    for (int i = 0; i < 5; ++i) {
        const auto request = MakeMessage(CMD_READ_MEASUREMENT, {0, 0, 0});
        EXPECT_NE(Ask(healthy, request).answer->payload[6] & 0x08, 0);
        EXPECT_EQ(Ask(failing, request).answer->payload[6] & 0x08, 0);
    }
}

TEST_F(DeviceModelTest, ShortAnswersCarryHalfTheirPayload) {
    behaviour.shortAnswers = true;
    CDeviceModel device = Device();
    EXPECT_EQ(Ask(device, MakeMessage(CMD_READ_CONFIG)).answer->length, 19);
    EXPECT_EQ(Ask(device, MakeMessage(CMD_READ_MEASUREMENT, {0, 0, 0})).answer->length, 4);
    EXPECT_EQ(Ask(device, MakeMessage(CMD_READ_TIME)).answer->length, 3);
    const auto config = device.Memory().sensorConfig.bytes;
    EXPECT_EQ(
        Ask(device, MakeMessage(CMD_WRITE_CONFIG, {config.begin(), config.end()})).answer->length,
        0);
}

TEST_F(DeviceModelTest, WindIsGustyRepeatableAndWithinTheRange) {
    behaviour.modelMarker = ModelMarkerMode::Never;
    auto readings = [&](std::uint32_t seed, std::int16_t range) {
        behaviour.seed = seed;
        memory.sensorConfig.setRange(range);
        CDeviceModel device = Device();
        std::vector<std::int16_t> speeds;
        for (int i = 0; i < 300; ++i) {
            speeds.push_back(Speed(device, std::chrono::seconds(i)));
        }
        return speeds;
    };
    const std::vector<std::int16_t> first = readings(7, 200);
    EXPECT_EQ(readings(7, 200), first);
    EXPECT_NE(readings(8, 200), first);

    const auto [low, high] = std::minmax_element(first.begin(), first.end());
    EXPECT_GE(*low, 0);
    EXPECT_LE(*high, 200);
    EXPECT_GT(*high - *low, 40) << "a wind without gusts";
    int bigSteps = 0;
    for (std::size_t i = 1; i < first.size(); ++i) {
        bigSteps += std::abs(first[i] - first[i - 1]) >= 10 ? 1 : 0;
    }
    EXPECT_GT(bigSteps, 10) << "a wind that hardly changes";

    // A reversed sensor keeps the same range; a small range caps the readings.
    for (std::int16_t speed : readings(7, -60)) {
        EXPECT_LE(speed, 60);
    }
}
