#include "PortLink.h"
#include "PseudoTerminal.h"
#include "StateFile.h"
#include "TempDirectory.h"
#include "UniqueFd.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>

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

// A pipe given as the state file is refused at once (a blocking open would hang the start),
// and stays a pipe.
TEST(StateFile, APipeIsRefusedWithoutWaiting) {
    CTempDirectory dir;
    const std::string path = dir.Path() + "/state";
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    DeviceMemory memory;
    std::string error;
    EXPECT_EQ(LoadStateFile(path, memory, error), StateLoad::Unusable);
    EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
    EXPECT_FALSE(SaveStateFile(path, memory, error));
    EXPECT_TRUE(fs::is_fifo(path));
}

TEST(PortLink, LinksThePortAndRemovesOnlyItsOwnLink) {
    CTempDirectory dir;
    std::string error;
    // The line the links lead to: a pipe of the test's own, so that no link is dangling.
    const std::string line = dir.Path() + "/line";
    ASSERT_EQ(::mkfifo(line.c_str(), 0600), 0);
    {
        std::optional<CPortLink> link = CPortLink::Create(dir.Path(), 3, line, error);
        ASSERT_TRUE(link) << error;
        EXPECT_EQ(link->Path(), dir.Path() + "/COM3");
        EXPECT_EQ(fs::read_symlink(dir.Path() + "/COM3"), line);
        // A second simulator on the same port is refused.
        EXPECT_FALSE(CPortLink::Create(dir.Path(), 3, "/nonexistent/line", error));
        EXPECT_NE(error.find("COM3 already exists (-> " + line + ")"), std::string::npos) << error;
    }
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir.Path() + "/COM3")));

    // A link replaced by someone else stays.
    {
        std::optional<CPortLink> link = CPortLink::Create(dir.Path(), 1, line, error);
        ASSERT_TRUE(link) << error;
        fs::remove(dir.Path() + "/COM1");
        fs::create_symlink("/nonexistent/line", dir.Path() + "/COM1");
    }
    EXPECT_EQ(fs::read_symlink(dir.Path() + "/COM1"), "/nonexistent/line");
}

TEST(PortLink, ReplacesOnlyADanglingLink) {
    CTempDirectory dir;
    std::string error;
    fs::create_symlink(dir.Path() + "/gone", dir.Path() + "/COM1");
    std::optional<CPortLink> link = CPortLink::Create(dir.Path(), 1, "/nonexistent/line-a", error);
    ASSERT_TRUE(link) << error;
    EXPECT_EQ(fs::read_symlink(dir.Path() + "/COM1"), "/nonexistent/line-a");

    std::ofstream(dir.Path() + "/COM2") << "a user's file";
    EXPECT_FALSE(CPortLink::Create(dir.Path(), 2, "/nonexistent/line-a", error));
    EXPECT_EQ(fs::file_size(dir.Path() + "/COM2"), 13u);
    EXPECT_FALSE(CPortLink::Create(dir.Path() + "/nowhere", 1, "/nonexistent/line-a", error));
    EXPECT_EQ(error, "no such directory: " + dir.Path() + "/nowhere");
}

TEST(PortLink, ReplacesOnlyWhatAKilledSimulatorLeft) {
    std::string error;
    const std::optional<CPseudoTerminal> live = CPseudoTerminal::Open(error);
    ASSERT_TRUE(live) << error;
    // A pseudo-terminal of some other program: open, but no simulator's lock on it.
    CUniqueFd other(::posix_openpt(O_RDWR | O_NOCTTY));
    ASSERT_TRUE(other.IsOpen());
    ASSERT_EQ(::grantpt(other.Get()), 0);
    ASSERT_EQ(::unlockpt(other.Get()), 0);
    const std::string otherLine = ::ptsname(other.Get());

    const struct {
        const char* name;
        std::function<void(const std::string& path)> make;
        bool replaced;
    } cases[] = {
        {"dangling link", [](const std::string& p) { fs::create_symlink("/nonexistent/pts/9", p); },
         true},
        {"link to another program's terminal",
         [&](const std::string& p) { fs::create_symlink(otherLine, p); }, true},
        {"link to a live simulator's line",
         [&](const std::string& p) { fs::create_symlink(live->SlavePath(), p); }, false},
        {"link to a pipe, as to another device",
         [](const std::string& p) {
             const std::string pipe = fs::path(p).parent_path() / "pipe";
             ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
             fs::create_symlink(pipe, p);
         },
         false},
        {"regular file", [](const std::string& p) { std::ofstream(p) << "a user's file"; }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CTempDirectory dir;
        const std::string path = CPortLink::PathFor(dir.Path(), 4);
        c.make(path);
        const std::string before =
            fs::is_symlink(path) ? fs::read_symlink(path).string() : std::string();
        std::optional<CPortLink> link =
            CPortLink::Create(dir.Path(), 4, "/nonexistent/line-b", error);
        ASSERT_EQ(link.has_value(), c.replaced) << error;
        if (c.replaced) {
            EXPECT_EQ(link->Replaced(), before);
            EXPECT_EQ(fs::read_symlink(path), "/nonexistent/line-b");
        } else {
            EXPECT_NE(error.find("COM4 already exists"), std::string::npos) << error;
            EXPECT_EQ(fs::is_symlink(path) ? fs::read_symlink(path).string() : std::string(),
                      before);
        }
    }
}
