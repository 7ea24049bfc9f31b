#include "PortDevice.h"

#include <gtest/gtest.h>

#include "TempDirectory.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>

#if !defined(_WIN32)
#include <unistd.h>
#endif

namespace {

using State = PortDevice::State;

TEST(PortDeviceTest, AdapterNamesJoinMakerAndProductOnce) {
    const struct {
        const char* maker;
        const char* product;
        const char* expected;
    } cases[] = {
        {"FTDI", "FT232R USB UART", "FTDI FT232R USB UART"},
        {"Prolific", "Prolific USB-Serial Controller", "Prolific USB-Serial Controller"},
        {"", "USB2.0-Serial", "USB2.0-Serial"},
        {"FTDI", "", "FTDI"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AdapterName(c.maker, c.product), c.expected);
    }
}

TEST(PortDeviceTest, DescriptionSaysWhereAndWhetherUsable) {
    const struct {
        PortDevice port;
        const char* adapter;
        const char* expected;
    } cases[] = {
        {{"/dev/ttyUSB0", "", State::Usable},
         "FTDI FT232R USB UART",
         "/dev/ttyUSB0: FTDI FT232R USB UART"},
        {{"/dev/pts/4", "/c/COM1", State::Usable}, "", "/dev/pts/4: dostępne; dowiązanie /c/COM1"},
        {{"/dev/ttyUSB0", "", State::NoAccess},
         "FTDI FT232R USB UART",
         "/dev/ttyUSB0: FTDI FT232R USB UART, brak uprawnień do odczytu i zapisu (grupa dialout)"},
        {{"/dev/ttyS0", "", State::NoAccess},
         "",
         "/dev/ttyS0: brak uprawnień do odczytu i zapisu (grupa dialout)"},
        {{"/c/gone", "/c/COM2", State::Missing},
         "",
         "/c/gone: brak urządzenia; dowiązanie /c/COM2"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DescribePortDevice(c.port, c.adapter), c.expected);
    }
}

#if !defined(_WIN32)
TEST(PortDeviceTest, ProbeFollowsTheComLinksOfTheSettingsFolder) {
    CTempDirectory dir;
    ASSERT_FALSE(dir.Path().empty());
    std::ofstream(dir.Join("adapter")) << "";
    ASSERT_EQ(::symlink(dir.Join("adapter").c_str(), dir.Join("COM1").c_str()), 0);
    ASSERT_EQ(::symlink("gone", dir.Join("COM2").c_str()), 0);
    ASSERT_EQ(::symlink("adapter", dir.Join("COM4").c_str()), 0);
    const std::string adapter = std::filesystem::canonical(dir.Join("adapter")).string();
    // Permission bits do not stop root: the refusal is the checker's.
    bool refuse = false;
    const DeviceAccessCheck access = [&](const std::string& device) {
        return device == adapter && refuse ? EACCES : DeviceAccessError(device);
    };
    const struct {
        int port;
        bool refuse;
        std::string device;
        std::string link;
        State state;
    } cases[] = {
        {1, false, adapter, dir.Join("COM1"), State::Usable},
        {1, true, adapter, dir.Join("COM1"), State::NoAccess},
        {2, false, dir.Join("gone"), dir.Join("COM2"), State::Missing},
        {4, false, adapter, dir.Join("COM4"), State::Usable}, // a relative link
        {200, false, "/dev/ttyS199", "", State::Missing},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.port);
        refuse = c.refuse;
        const PortDevice port = ProbePortDevice(dir.Path() + "/", c.port, access);
        EXPECT_EQ(port.device, c.device);
        EXPECT_EQ(port.link, c.link);
        EXPECT_EQ(port.state, c.state);
    }
}
#endif

} // namespace
