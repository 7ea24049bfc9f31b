#include "DeviceInstanceId.h"
#include "PortProbe.h"
#include "TempDirectory.h"

#include <gtest/gtest.h>

TEST(WindowsPorts, SerialNumberOfUsbAndFtdiAdapters) {
    const struct {
        const char* id;
        const char* serial;
    } cases[] = {
        {"USB\\VID_0403&PID_6001\\A50285BI", "A50285BI"},
        {"FTDIBUS\\VID_0403+PID_6001+A50285BIA\\0000", "A50285BI"},
        {"FTDIBUS\\VID_0403+PID_6010+FT1234B\\0000", "FT1234"}, // a dual chip's second channel
        {"ftdibus\\vid_0403+pid_6001+A50285BIA\\0000", "A50285BI"},
        {"USB\\VID_067B&PID_2303\\5&2C3B5C9&0&2", ""}, // made up by Windows: no serial number
        {"FTDIBUS\\VID_0403+PID_6001\\0000", ""},
        {"ACPI\\PNP0501\\0", ""},
        {"USB\\VID_0403&PID_6001", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SerialNumberFromInstanceId(c.id), c.serial) << c.id;
    }
}

TEST(WindowsPorts, OnlyOutgoingBluetoothPortsDialOut) {
    const struct {
        const char* id;
        bool outgoing;
    } cases[] = {
        {"BTHENUM\\{00001101-0000-1000-8000-00805F9B34FB}_LOCALMFG&0002\\7&1A2B3C4D&0&"
         "001122334455_C00000000",
         true},
        {"BTHENUM\\{00001101-0000-1000-8000-00805F9B34FB}_LOCALMFG&0000\\7&1A2B3C4D&0&"
         "000000000000_00000000",
         false},
        {"BTHENUM\\{00001101-0000-1000-8000-00805F9B34FB}\\unknown", true}, // not dialled blindly
        {"USB\\VID_0403&PID_6001\\A50285BI", false},
        {"ACPI\\PNP0501\\0", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsOutgoingBluetoothPort(c.id), c.outgoing) << c.id;
    }
}

// Nothing stands behind the port: a scan that opens it finds that out, one that must not dial
// out leaves it alone.
TEST(WindowsPorts, APortThatDialsOutIsOpenedOnlyOnRequest) {
    CTempDirectory dir;
    ASSERT_FALSE(dir.Path().empty());
    PortCandidate candidate;
    candidate.port = 250;
    candidate.dialsOut = true;
    ProbeSettings settings;
    settings.settingsDirectory = dir.Path() + "/";
    settings.baudRate = 19200;
    settings.address = 31;
    EXPECT_EQ(ProbePort(candidate, settings).outcome, ProbeResult::Outcome::NotProbed);
    settings.dialOut = true;
    EXPECT_EQ(ProbePort(candidate, settings).outcome, ProbeResult::Outcome::Unusable);
    candidate.dialsOut = false;
    settings.dialOut = false;
    EXPECT_EQ(ProbePort(candidate, settings).outcome, ProbeResult::Outcome::Unusable);
}
