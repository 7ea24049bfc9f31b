#include "ConfigFile.h"
#include "OddFiles.h"
#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#if !defined(_WIN32)
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kDefaultBytes = {0x01, 0x00, 0x00, 0x00, 0x00, 0x4B,
                             0x00, 0x00, 0x1F, 0x00, 0x00, 0x00};

// Compared as a tuple, so that a failure prints the three values.
std::tuple<int, int, int> Fields(const ConnectionSettings& s) {
    return {s.port, s.baudRate, s.deviceAddress};
}

// Values a load must overwrite, so that a test sees whether the defaults were set.
ConnectionSettings Dirty() {
    return {.port = 9, .baudRate = 9, .deviceAddress = 9};
}

class ConfigFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(m_dir.Path().empty()); }

    void WriteFile(const Bytes& bytes) const {
        std::ofstream out(m_path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        ASSERT_TRUE(out.good());
    }
    Bytes ReadFile() const {
        std::ifstream in(m_path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    CTempDirectory m_dir{"qal-settings-test"};
    std::string m_path = m_dir.Join("config.cfg");
};

} // namespace

TEST(SettingsEncoding, DefaultsGiveTheKnownBytes) {
    const auto bytes = EncodeSettings(ConnectionSettings{});
    EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), kDefaultBytes);
}

TEST(SettingsEncoding, SignedValuesRoundTripLittleEndian) {
    const ConnectionSettings settings{.port = -1,
                                      .baudRate = std::numeric_limits<std::int32_t>::min(),
                                      .deviceAddress = 0x12345678};
    const auto bytes = EncodeSettings(settings);
    const Bytes expected = {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80, 0x78, 0x56, 0x34, 0x12};
    EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), expected);
    EXPECT_EQ(Fields(DecodeSettings(bytes)), Fields(settings));
}

TEST_F(ConfigFileTest, LoadTakesTheFirstTwelveBytesOnly) {
    const struct {
        const char* name;
        Bytes content;
        ConfigLoadResult result;
        ConnectionSettings settings;
    } cases[] = {
        {"empty", {}, ConfigLoadResult::NotFound, {}},
        {"11 bytes", Bytes(11, 0x02), ConfigLoadResult::NotFound, {}},
        {"12 zero bytes", Bytes(12, 0x00), ConfigLoadResult::Read, {0, 0, 0}},
        {"20 bytes",
         {0x03, 0, 0,    0,    0x80, 0x25, 0,    0,    0x05, 0,
          0,    0, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE},
         ConfigLoadResult::Read,
         {3, 9600, 5}},
        {"negative", Bytes(12, 0xFF), ConfigLoadResult::Read, {-1, -1, -1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(c.content);
        ConnectionSettings settings = Dirty();
        EXPECT_EQ(LoadConfigFile(m_path, settings), c.result);
        EXPECT_EQ(Fields(settings), Fields(c.settings));
    }
}

TEST_F(ConfigFileTest, NoFileGivesDefaults) {
    ConnectionSettings settings = Dirty();
    EXPECT_EQ(LoadConfigFile(m_path, settings), ConfigLoadResult::NotFound);
    EXPECT_EQ(Fields(settings), Fields(ConnectionSettings{}));
    EXPECT_FALSE(fs::exists(m_path)) << "loading must not create the file";

    // A directory in the file's place holds no settings either.
    ASSERT_TRUE(fs::create_directory(m_path));
    settings = Dirty();
    EXPECT_EQ(LoadConfigFile(m_path, settings), ConfigLoadResult::NotFound);
    EXPECT_EQ(Fields(settings), Fields(ConnectionSettings{}));
}

TEST(ConfigFile, ReadFailureAfterOpeningGivesDefaults) {
    // Reading the start of the process's own memory file fails with an I/O error.
    const std::string unreadable = "/proc/self/mem";
    if (!fs::is_regular_file(unreadable)) {
        GTEST_SKIP() << "no " << unreadable << " on this system";
    }
    ConnectionSettings settings = Dirty();
    EXPECT_EQ(LoadConfigFile(unreadable, settings), ConfigLoadResult::ReadError);
    EXPECT_EQ(Fields(settings), Fields(ConnectionSettings{}));
}

TEST_F(ConfigFileTest, SaveWritesExactlyTwelveBytesAndRoundTrips) {
    WriteFile(Bytes(40, 0xAA));
    EXPECT_EQ(SaveConfigFile(m_path, ConnectionSettings{}), ConfigSaveResult::Written);
    EXPECT_EQ(ReadFile(), kDefaultBytes);

    const ConnectionSettings changed{.port = 0, .baudRate = 115200, .deviceAddress = -300};
    EXPECT_EQ(SaveConfigFile(m_path, changed), ConfigSaveResult::Written);
    ConnectionSettings loaded = Dirty();
    EXPECT_EQ(LoadConfigFile(m_path, loaded), ConfigLoadResult::Read);
    EXPECT_EQ(Fields(loaded), Fields(changed));
}

TEST_F(ConfigFileTest, SaveMakesMissingFolders) {
    const std::string nested = m_dir.Join("missing/folders/config.cfg");
    EXPECT_EQ(SaveConfigFile(nested, ConnectionSettings{}), ConfigSaveResult::Written);
    ConnectionSettings loaded = Dirty();
    EXPECT_EQ(LoadConfigFile(nested, loaded), ConfigLoadResult::Read);
    EXPECT_EQ(Fields(loaded), Fields(ConnectionSettings{}));
}

TEST_F(ConfigFileTest, SaveWhereNoFileCanBeCreatedChangesNothing) {
    // Permission bits do not stop root, so the unwritable places are structural: a file where
    // a folder must be, a folder where the file must be.
    WriteFile(kDefaultBytes);
    EXPECT_EQ(SaveConfigFile(m_dir.Join("config.cfg/config.cfg"), ConnectionSettings{}),
              ConfigSaveResult::CannotOpen);
    EXPECT_EQ(ReadFile(), kDefaultBytes);
    ASSERT_TRUE(fs::remove(m_path));

    ASSERT_TRUE(fs::create_directory(m_path));
    EXPECT_EQ(SaveConfigFile(m_path, ConnectionSettings{}), ConfigSaveResult::CannotOpen);
    EXPECT_TRUE(fs::is_directory(m_path));
}

#if !defined(_WIN32)

TEST(ConfigFile, SaveReportsBytesThatNeverArrive) {
    // A file size limit of 5 bytes lets the write start and fail half-way; the child process
    // keeps the limit away from the test runner.
    CTempDirectory dir("qal-settings-test");
    const std::string path = dir.Join("config.cfg");
    std::ofstream(path, std::ios::binary) << "old";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{5, 5};
        const bool limited = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
        const auto result = SaveConfigFile(path, ConnectionSettings{});
        ::_exit(limited && result == ConfigSaveResult::WriteError ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(fs::file_size(path), 3u) << "the old file stays";
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1)
        << "no temporary file stays behind";
}

TEST_F(ConfigFileTest, OddFilesNeverBlockAndAreNeverWritten) {
    // Each case puts something in the file's place, made in the test's own folder; a blocking
    // open would hang the test.
    struct Case {
        std::string name;
        std::function<bool(const std::string&, std::string&)> make;
        ConfigSaveResult save;
        ConfigLoadResult loadAfter;
    };
    std::vector<Case> cases;
    for (const OddFile kind : kAllOddFiles) {
        cases.push_back(
            {OddFileName(kind),
             [kind](const std::string& p, std::string& why) { return MakeOddFile(kind, p, why); },
             ConfigSaveResult::CannotOpen, ConfigLoadResult::NotFound});
    }
    cases.push_back({"link to a pipe",
                     [](const std::string& p, std::string& why) {
                         fs::create_symlink("pipe", p);
                         return MakeOddFile(OddFile::Pipe, fs::path(p).parent_path() / "pipe", why);
                     },
                     ConfigSaveResult::CannotOpen, ConfigLoadResult::NotFound});
    cases.push_back({"dangling link: the file it names is made",
                     [](const std::string& p, std::string&) {
                         fs::create_symlink("elsewhere.cfg", p);
                         return true;
                     },
                     ConfigSaveResult::Written, ConfigLoadResult::Read});
    cases.push_back({"link to a file: the file is replaced",
                     [](const std::string& p, std::string&) {
                         std::ofstream(fs::path(p).parent_path() / "elsewhere.cfg") << "old";
                         fs::create_symlink("elsewhere.cfg", p);
                         return true;
                     },
                     ConfigSaveResult::Written, ConfigLoadResult::Read});
    const ConnectionSettings changed{.port = 4, .baudRate = 19200, .deviceAddress = 7};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTempDirectory dir("qal-settings-test");
        const std::string path = dir.Join("config.cfg");
        std::string why;
        if (!c.make(path, why)) {
            std::cout << "skipped: " << c.name << ": " << why << "\n";
            continue;
        }
        const auto type = fs::symlink_status(path).type();
        const auto pointee = fs::status(path).type();
        ConnectionSettings settings = Dirty();
        EXPECT_NE(LoadConfigFile(path, settings), ConfigLoadResult::Read);
        EXPECT_EQ(SaveConfigFile(path, changed), c.save);
        EXPECT_EQ(fs::symlink_status(path).type(), type) << "what stands there stays";
        settings = Dirty();
        EXPECT_EQ(LoadConfigFile(path, settings), c.loadAfter);
        if (c.loadAfter == ConfigLoadResult::Read) {
            EXPECT_EQ(Fields(settings), Fields(changed));
        } else {
            EXPECT_EQ(fs::status(path).type(), pointee) << "and what a link leads to";
        }
        EXPECT_EQ(fs::exists(dir.Join("elsewhere.cfg")),
                  c.loadAfter == ConfigLoadResult::Read && type == fs::file_type::symlink);
    }
}

TEST_F(ConfigFileTest, ReadOnlyFolderRefusesAndKeepsTheFile) {
    // Permission bits do not stop root: as root the save runs in a child as user "nobody".
    WriteFile(kDefaultBytes);
    fs::permissions(m_dir.Path(), fs::perms::owner_read | fs::perms::owner_exec |
                                      fs::perms::others_read | fs::perms::others_exec);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && ::setuid(65534) != 0) {
            ::_exit(2);
        }
        const auto result = SaveConfigFile(m_path, ConnectionSettings{.port = 2});
        ::_exit(result == ConfigSaveResult::CannotOpen ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    fs::permissions(m_dir.Path(), fs::perms::owner_all);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(ReadFile(), kDefaultBytes);
}

TEST_F(ConfigFileTest, KillMidSaveLeavesOldOrNewContent) {
    const ConnectionSettings first{.port = 1, .baudRate = 9600, .deviceAddress = 1};
    const ConnectionSettings second{.port = 2, .baudRate = 19200, .deviceAddress = 2};
    ASSERT_EQ(SaveConfigFile(m_path, first), ConfigSaveResult::Written);
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> delayUs(0, 3000);
    for (int attempt = 0; attempt < 25; ++attempt) {
        SCOPED_TRACE(attempt);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; ++i) {
                static_cast<void>(SaveConfigFile(m_path, i % 2 == 0 ? second : first));
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        ASSERT_EQ(::kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ConnectionSettings loaded = Dirty();
        ASSERT_EQ(fs::file_size(m_path), kConfigFileSize);
        ASSERT_EQ(LoadConfigFile(m_path, loaded), ConfigLoadResult::Read);
        EXPECT_TRUE(Fields(loaded) == Fields(first) || Fields(loaded) == Fields(second));
    }
}

// A save killed before its rename leaves "config.cfg.tmp-<n>-<n>"; the next save removes such a
// leftover, and nothing else: not a young one (another save may be under way), not other names,
// not a folder or a link, not a file too big to be ours.
TEST_F(ConfigFileTest, SaveRemovesOnlyStaleTemporariesOfItsOwnName) {
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
    enum Kind { File, Whole, Young, Big, Folder, Link };
    const struct {
        const char* name;
        Kind kind;
        bool removed;
    } cases[] = {
        {"config.cfg.tmp-123456789-0", File, true}, {"config.cfg.tmp-1-7", File, true},
        {"config.cfg.tmp-2-3", Whole, true}, // a complete one: as big as the new content
        {"config.cfg.tmp-4-0", Big, false},         {"config.cfg.tmp-987654321-1", Young, false},
        {"config.cfg.tmp-6-0", Folder, false},      {"config.cfg.tmp-7-0", Link, false},
        {"config.cfg.tmp-8", File, false},          {"config.cfg.tmp-8-", File, false},
        {"config.cfg.tmp--8", File, false},         {"config.cfg.tmp-8-0x", File, false},
        {"config.cfg.tmp-", File, false},           {"config.cfg.old", File, false},
        {"other.cfg.tmp-1-0", File, false},         {"xconfig.cfg.tmp-1-0", File, false},
    };
    WriteFile(kDefaultBytes);
    for (const auto& c : cases) {
        const fs::path path = m_dir.Join(c.name);
        if (c.kind == Folder) {
            fs::create_directory(path);
        } else if (c.kind == Link) {
            fs::create_symlink(m_path, path);
            continue; // the link's own time cannot be set portably; its target is fresh anyway
        } else {
            std::ofstream(path, std::ios::binary) << (c.kind == Big     ? "thirteen byte"
                                                      : c.kind == Whole ? "twelve bytes"
                                                                        : "x");
        }
        if (c.kind != Young) {
            fs::last_write_time(path, old);
        }
    }
    ASSERT_EQ(SaveConfigFile(m_path, ConnectionSettings{}), ConfigSaveResult::Written);
    for (const auto& c : cases) {
        EXPECT_EQ(fs::exists(fs::symlink_status(m_dir.Join(c.name))), !c.removed) << c.name;
    }
    EXPECT_EQ(ReadFile(), kDefaultBytes);
}

#endif
