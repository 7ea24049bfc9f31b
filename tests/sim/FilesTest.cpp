#include "PortLink.h"
#include "StateFile.h"
#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

std::size_t EntryCount(const std::string& directory) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(directory), fs::directory_iterator()));
}

} // namespace

TEST(StateFile, KeepsRecordsAndClockAcrossARestart) {
    CTempDirectory dir;
    const std::string path = dir.Path() + "/device.state";
    DeviceMemory memory;
    std::string error;
    EXPECT_EQ(LoadStateFile(path, memory, error), StateLoad::Missing);

    for (std::size_t i = 0; i < memory.sensorConfig.bytes.size(); ++i) {
        memory.sensorConfig.bytes[i] = static_cast<std::uint8_t>(i * 3 + 1);
    }
    memory.readerData.bytes.fill(0xA5);
    memory.alarmData.bytes.fill(0x5A);
    memory.clockOffsetSeconds = -7200;
    ASSERT_TRUE(SaveStateFile(path, memory, error)) << error;
    memory.alarmData.bytes[19] = 0x11;
    ASSERT_TRUE(SaveStateFile(path, memory, error)) << error; // replaces the first
    EXPECT_EQ(EntryCount(dir.Path()), 1u) << "a temporary file was left behind";

    DeviceMemory loaded;
    ASSERT_EQ(LoadStateFile(path, loaded, error), StateLoad::Loaded) << error;
    EXPECT_EQ(loaded.sensorConfig.bytes, memory.sensorConfig.bytes);
    EXPECT_EQ(loaded.readerData.bytes, memory.readerData.bytes);
    EXPECT_EQ(loaded.alarmData.bytes, memory.alarmData.bytes);
    EXPECT_EQ(loaded.clockOffsetSeconds, -7200);
}

TEST(StateFile, AForeignFileIsNeitherLoadedNorOverwritten) {
    CTempDirectory dir;
    const std::string path = dir.Path() + "/notes.txt";
    std::ofstream(path) << "not a device";
    DeviceMemory memory;
    memory.readerData.bytes.fill(1);
    std::string error;
    EXPECT_EQ(LoadStateFile(path, memory, error), StateLoad::Unusable);
    EXPECT_NE(error.find("is not a qal-sim state file"), std::string::npos) << error;
    EXPECT_EQ(memory.readerData.bytes[0], 1);
    EXPECT_EQ(fs::file_size(path), 12u);

    EXPECT_FALSE(SaveStateFile(dir.Path() + "/missing/dir/state", memory, error));
    EXPECT_FALSE(error.empty());
}

TEST(PortLink, LinksThePortAndRemovesOnlyItsOwnLink) {
    CTempDirectory dir;
    std::string error;
    {
        std::optional<CPortLink> link = CPortLink::Create(dir.Path(), 3, "/dev/null", error);
        ASSERT_TRUE(link) << error;
        EXPECT_EQ(link->Path(), dir.Path() + "/COM3");
        EXPECT_EQ(fs::read_symlink(dir.Path() + "/COM3"), "/dev/null");
        // A second simulator on the same port is refused.
        EXPECT_FALSE(CPortLink::Create(dir.Path(), 3, "/dev/zero", error));
        EXPECT_NE(error.find("COM3 already exists (-> /dev/null)"), std::string::npos) << error;
    }
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir.Path() + "/COM3")));

    // A link replaced by someone else stays.
    {
        std::optional<CPortLink> link = CPortLink::Create(dir.Path(), 1, "/dev/null", error);
        ASSERT_TRUE(link) << error;
        fs::remove(dir.Path() + "/COM1");
        fs::create_symlink("/dev/zero", dir.Path() + "/COM1");
    }
    EXPECT_EQ(fs::read_symlink(dir.Path() + "/COM1"), "/dev/zero");
}

TEST(PortLink, ReplacesOnlyADanglingLink) {
    CTempDirectory dir;
    std::string error;
    fs::create_symlink(dir.Path() + "/gone", dir.Path() + "/COM1");
    std::optional<CPortLink> link = CPortLink::Create(dir.Path(), 1, "/dev/null", error);
    ASSERT_TRUE(link) << error;
    EXPECT_EQ(fs::read_symlink(dir.Path() + "/COM1"), "/dev/null");

    std::ofstream(dir.Path() + "/COM2") << "a user's file";
    EXPECT_FALSE(CPortLink::Create(dir.Path(), 2, "/dev/null", error));
    EXPECT_EQ(fs::file_size(dir.Path() + "/COM2"), 13u);
    EXPECT_FALSE(CPortLink::Create(dir.Path() + "/nowhere", 1, "/dev/null", error));
    EXPECT_EQ(error, "no such directory: " + dir.Path() + "/nowhere");
}
