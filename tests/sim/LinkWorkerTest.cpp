#include "LineDevice.h"

#include "DeviceCommands.h"
#include "LinkContext.h"
#include "LinkWorker.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>

using namespace std::chrono_literals;

namespace {

// The terminal's link worker connected to a simulated device, with the window's side reduced
// to waiting for messages.
class WorkerAndDevice {
public:
    WorkerAndDevice(const DeviceBehaviour& device, const LineBehaviour& line)
        : m_device(device, line) {
        m_context.port = CLineDevice::kPort;
        m_context.baudRate = 19200;
        m_context.appDirectory = m_device.AppDirectory();
        m_context.notifier = [this] {
            {
                const std::lock_guard<std::mutex> guard(m_lock);
                ++m_notes;
            }
            m_changed.notify_all();
        };
        m_worker = std::thread([this] { (void)LinkThreadProc(&m_context); });
    }

    ~WorkerAndDevice() {
        m_context.RequestStop();
        m_worker.join();
    }

    void Send(std::uint8_t command, std::initializer_list<std::uint8_t> payload = {}) {
        LinkMessage message;
        message.address = 31;
        message.command = command;
        message.length = static_cast<std::uint8_t>(payload.size());
        std::copy(payload.begin(), payload.end(), message.payload);
        (void)PutForDevice(m_context, message); // refused only while no worker runs
    }

    // The next message for the window with this command; others on the way are passed over.
    std::optional<LinkMessage> Next(std::uint8_t command) {
        const auto deadline = std::chrono::steady_clock::now() + 3s;
        for (;;) {
            LinkMessage message;
            while (TakeForWindow(m_context, message) == 1) {
                if (message.command == command) {
                    return message;
                }
            }
            std::unique_lock<std::mutex> guard(m_lock);
            const int seen = m_notes;
            if (!m_changed.wait_until(guard, deadline, [&] { return m_notes != seen; })) {
                return std::nullopt;
            }
        }
    }

private:
    CLineDevice m_device;
    LinkContext m_context;
    std::mutex m_lock;
    std::condition_variable m_changed;
    int m_notes = 0;
    std::thread m_worker;
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
