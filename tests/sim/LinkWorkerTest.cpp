#include "LineDevice.h"
#include "WorkerHarness.h"

#include "DeviceCommands.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

// The terminal's link worker connected to a simulated device.
class WorkerAndDevice : public CWorkerHarness {
public:
    WorkerAndDevice(const DeviceBehaviour& device, const LineBehaviour& line)
        : CWorkerHarness(CLineDevice::kPort, ""), m_device(device, line) {
        Context().appDirectory = m_device.AppDirectory();
        Start();
    }
    // The worker goes before the device does.
    ~WorkerAndDevice() { (void)StopAndJoin(); }

private:
    CLineDevice m_device;
};

} // namespace

// The road of the terminal's requests, from its message list through its worker and serial
// port to the device and back.
TEST(LinkWorkerWithSimulator, ScriptedExchange) {
    DeviceBehaviour device;
    device.fixedSpeed = 87;
    LineBehaviour line;
    line.text = "Kalibracja OK";
    line.textPeriod = 300ms;
    WorkerAndDevice link(device, line);
    ASSERT_TRUE(link.Next(kLinkEventConnected));

    link.Send(CMD_READ_VERSION);
    const std::optional<LinkMessage> version = link.Next(CMD_READ_VERSION);
    ASSERT_TRUE(version);
    EXPECT_EQ(version->address, 31);
    EXPECT_EQ(version->payload[0], 3);
    EXPECT_STREQ(reinterpret_cast<const char*>(version->payload + 1), "QAL-1P symulator");

    for (std::int16_t expected : {std::int16_t{0x7FFF}, std::int16_t{87}}) {
        link.Send(CMD_READ_MEASUREMENT, {0, 0, 0});
        const std::optional<LinkMessage> reading = link.Next(CMD_READ_MEASUREMENT);
        ASSERT_TRUE(reading);
        EXPECT_EQ(reading->payload[0] | (reading->payload[1] << 8), expected);
        EXPECT_EQ(reading->payload[6], 0x08 | 0x20 | 0x40) << "in order, output 1 on";
    }

    link.Send(CMD_WRITE_TIME, {0, 30, 12, 24, 12, 0xE8, 0x07});
    ASSERT_TRUE(link.Next(CMD_WRITE_TIME));
    link.Send(CMD_READ_TIME);
    const std::optional<LinkMessage> time = link.Next(CMD_READ_TIME);
    ASSERT_TRUE(time);
    EXPECT_EQ(time->payload[1], 30);
    EXPECT_EQ(time->payload[2], 12);
    EXPECT_EQ(time->payload[3], 24);

    const std::optional<LinkMessage> text = link.Next(CMD_TEXT);
    ASSERT_TRUE(text);
    EXPECT_STREQ(reinterpret_cast<const char*>(text->payload), "Kalibracja OK");
}
