#include "SettingsFile.h"
#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

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

class SettingsFileTest : public ::testing::Test {
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

TEST_F(SettingsFileTest, LoadTakesTheFirstTwelveBytesOnly) {
    const struct {
        const char* name;
        Bytes content;
        SettingsLoadResult result;
        ConnectionSettings settings;
    } cases[] = {
        {"empty", {}, SettingsLoadResult::NotFound, {}},
        {"11 bytes", Bytes(11, 0x02), SettingsLoadResult::NotFound, {}},
        {"12 zero bytes", Bytes(12, 0x00), SettingsLoadResult::Read, {0, 0, 0}},
        {"20 bytes",
         {0x03, 0, 0,    0,    0x80, 0x25, 0,    0,    0x05, 0,
          0,    0, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE},
         SettingsLoadResult::Read,
         {3, 9600, 5}},
        {"negative", Bytes(12, 0xFF), SettingsLoadResult::Read, {-1, -1, -1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(c.content);
        ConnectionSettings settings = Dirty();
        EXPECT_EQ(LoadSettingsFile(m_path, settings), c.result);
        EXPECT_EQ(Fields(settings), Fields(c.settings));
    }
}

TEST_F(SettingsFileTest, NoFileGivesDefaults) {
    ConnectionSettings settings = Dirty();
    EXPECT_EQ(LoadSettingsFile(m_path, settings), SettingsLoadResult::NotFound);
    EXPECT_EQ(Fields(settings), Fields(ConnectionSettings{}));
    EXPECT_FALSE(fs::exists(m_path)) << "loading must not create the file";

    // A directory in the file's place holds no settings either.
    ASSERT_TRUE(fs::create_directory(m_path));
    settings = Dirty();
    EXPECT_EQ(LoadSettingsFile(m_path, settings), SettingsLoadResult::NotFound);
    EXPECT_EQ(Fields(settings), Fields(ConnectionSettings{}));
}

TEST(SettingsFile, ReadFailureAfterOpeningGivesDefaults) {
    // Reading the start of the process's own memory file fails with an I/O error.
    const std::string unreadable = "/proc/self/mem";
    if (!fs::is_regular_file(unreadable)) {
        GTEST_SKIP() << "no " << unreadable << " on this system";
    }
    ConnectionSettings settings = Dirty();
    EXPECT_EQ(LoadSettingsFile(unreadable, settings), SettingsLoadResult::ReadError);
    EXPECT_EQ(Fields(settings), Fields(ConnectionSettings{}));
}

TEST_F(SettingsFileTest, SaveWritesExactlyTwelveBytesAndRoundTrips) {
    WriteFile(Bytes(40, 0xAA));
    EXPECT_EQ(SaveSettingsFile(m_path, ConnectionSettings{}), SettingsSaveResult::Written);
    EXPECT_EQ(ReadFile(), kDefaultBytes);

    const ConnectionSettings changed{.port = 0, .baudRate = 115200, .deviceAddress = -300};
    EXPECT_EQ(SaveSettingsFile(m_path, changed), SettingsSaveResult::Written);
    ConnectionSettings loaded = Dirty();
    EXPECT_EQ(LoadSettingsFile(m_path, loaded), SettingsLoadResult::Read);
    EXPECT_EQ(Fields(loaded), Fields(changed));
}

TEST_F(SettingsFileTest, SaveMakesMissingFolders) {
    const std::string nested = m_dir.Join("missing/folders/config.cfg");
    EXPECT_EQ(SaveSettingsFile(nested, ConnectionSettings{}), SettingsSaveResult::Written);
    ConnectionSettings loaded = Dirty();
    EXPECT_EQ(LoadSettingsFile(nested, loaded), SettingsLoadResult::Read);
    EXPECT_EQ(Fields(loaded), Fields(ConnectionSettings{}));
}

TEST_F(SettingsFileTest, SaveWhereNoFileCanBeCreatedChangesNothing) {
    // Permission bits do not stop root, so the unwritable places are structural: a file where
    // a folder must be, a folder where the file must be.
    WriteFile(kDefaultBytes);
    EXPECT_EQ(SaveSettingsFile(m_dir.Join("config.cfg/config.cfg"), ConnectionSettings{}),
              SettingsSaveResult::CannotOpen);
    EXPECT_EQ(ReadFile(), kDefaultBytes);
    ASSERT_TRUE(fs::remove(m_path));

    ASSERT_TRUE(fs::create_directory(m_path));
    EXPECT_EQ(SaveSettingsFile(m_path, ConnectionSettings{}), SettingsSaveResult::CannotOpen);
    EXPECT_TRUE(fs::is_directory(m_path));
}

TEST(SettingsFile, SaveReportsBytesThatNeverArrive) {
    // Every write to this device fails for lack of space, which shows only when the stream is
    // flushed at the close.
    const std::string full = "/dev/full";
    if (!fs::exists(full)) {
        GTEST_SKIP() << "no " << full << " on this system";
    }
    EXPECT_EQ(SaveSettingsFile(full, ConnectionSettings{}), SettingsSaveResult::WriteError);
}
