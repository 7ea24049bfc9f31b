#include "ConfigFile.h"
#include "DeviceMemory.h"
#include "OddFiles.h"
#include "SettingsComparison.h"
#include "SettingsFileJson.h"
#include "SimProcess.h"
#include "StateFile.h"
#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>

namespace {

DeviceMemory Memory(std::uint16_t serial, int year) {
    DeviceMemory memory = DefaultDeviceMemory(WallClock::now());
    memory.sensorConfig.setSerialNumber(serial);
    memory.sensorConfig.setProductionYear(year);
    memory.readerData.setSerialNumber(serial);
    return memory;
}

DeviceRecords RecordsOf(const DeviceMemory& memory) {
    return {memory.sensorConfig, memory.readerData, memory.alarmData};
}

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// qal-cli's settings-file commands against simulators that keep their memory in state files,
// behind COM<n> of a settings folder whose config.cfg names COM1.
class CliSettingsFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(m_dir.Path().empty());
        ASSERT_EQ(SaveConfigFile(m_dir.Join("config.cfg"), ConnectionSettings{1, 19200, 31}),
                  ConfigSaveResult::Written);
        // A port that leads nowhere, in the test's own folder.
        std::filesystem::create_symlink(m_dir.Join("nothing"), m_dir.Join("COM9"));
    }

    std::string StartSim(int port, const DeviceMemory& memory,
                         std::vector<std::string> options = {}) {
        const std::string state = m_dir.Join("device" + std::to_string(port));
        std::string error;
        EXPECT_TRUE(SaveStateFile(state, memory, error)) << error;
        options.insert(options.end(),
                       {"--link", m_dir.Path(), "--port", std::to_string(port), "--state", state});
        m_sims.push_back(std::make_unique<CSimProcess>(options));
        EXPECT_FALSE(m_sims.back()->FirstLine().empty()) << m_sims.back()->Errors();
        return state;
    }

    // Runs qal-cli; input, when given, is its standard input up to the end.
    int Run(std::vector<std::string> args, const std::optional<std::string>& input = {}) {
        args.insert(args.begin(), {"--settings", m_dir.Path()});
        CSimProcess cli(QAL_CLI_PATH, args);
        if (input) {
            EXPECT_TRUE(cli.Write(*input));
            cli.CloseInput();
        }
        const int status = cli.Wait(std::chrono::seconds(10));
        m_out = cli.Output();
        m_errors = cli.Errors();
        return status;
    }

    void WriteFile(const std::string& path, const DeviceRecords& records) {
        SettingsSnapshot snapshot;
        snapshot.records = records;
        std::error_code error;
        ASSERT_TRUE(SaveSettingsFile(QString::fromStdString(path), snapshot, error))
            << error.message();
    }

    static DeviceMemory StateOf(const std::string& path) {
        DeviceMemory memory;
        std::string error;
        EXPECT_EQ(LoadStateFile(path, memory, error), StateLoad::Loaded) << error;
        return memory;
    }

    CTempDirectory m_dir{"qal-cli-files"};
    std::vector<std::unique_ptr<CSimProcess>> m_sims;
    std::string m_out;
    std::string m_errors;
};

// Back up, change the device, look at the difference, decline, restore: the simulator's state
// file ends byte for byte as it was when saved.
TEST_F(CliSettingsFiles, SaveChangeDiffAndRestoreTheSavedState) {
    const DeviceMemory original = Memory(1234, 2012);
    const std::string state = StartSim(1, original);
    const std::string backup = m_dir.Join("backup.json");
    const std::string changed = m_dir.Join("changed.json");
    DeviceRecords change = RecordsOf(original);
    ASSERT_TRUE(change.config.setDescription("Zmieniony"));
    change.alarms.setMaxThreshold(3, 99);
    WriteFile(changed, change);
    const std::string pipe = m_dir.Join("pipe.json");
    std::string why;
    ASSERT_TRUE(MakeOddFile(OddFile::Pipe, pipe, why)) << why;

    enum class Device { AsSaved, Changed };
    const struct {
        std::vector<std::string> args;
        std::optional<std::string> input;
        int status;
        std::string output; // a piece of standard output
        std::string error;  // a piece of standard error
        Device device;
    } steps[] = {
        {{"save", backup},
         {},
         0,
         "saved the settings of sensor 1234 (QAL-1P symulator",
         "",
         Device::AsSaved},
        {{"restore", changed, "--yes"},
         {},
         0,
         "Opis: " + original.sensorConfig.description() + " → Zmieniony\n",
         "",
         Device::Changed},
        {{"restore", backup},
         "n\n",
         0,
         "restore would write: sensorConfig, outputs\n",
         "write sensorConfig, outputs to the device on COM1? [y/N] \nqal-cli: nothing written",
         Device::Changed},
        {{"restore", backup},
         "\n",
         0,
         "restore would write: sensorConfig, outputs\n",
         "[y/N] \nqal-cli: nothing written",
         Device::Changed},
        {{"restore", backup}, "", 2, "", "no answer on standard input", Device::Changed},
        {{"restore", "-"}, "", 2, "", "use --yes", Device::Changed},
        {{"save", m_dir.Join("missing/folder.json")},
         {},
         3,
         "",
         "qal-cli: cannot write " + m_dir.Join("missing/folder.json") +
             ": No such file or directory",
         Device::Changed},
        {{"save", pipe},
         {},
         3,
         "",
         "cannot write " + pipe + ": not a regular file",
         Device::Changed},
        {{"save", m_dir.Path()},
         {},
         3,
         "",
         "cannot write " + m_dir.Path() + ": Is a directory",
         Device::Changed},
        {{"save", "-"}, {}, 0, "\"format\": \"qal-device-settings\"", "", Device::Changed},
        {{"diff", "-"},
         Contents(changed),
         0,
         "no differences to write: the device has the file's settings\n",
         "",
         Device::Changed},
        {{"diff", backup}, {}, 0, "Opis: Zmieniony → ", "", Device::Changed},
        {{"--json", "diff", backup},
         {},
         0,
         R"("equal":false,"serialsDiffer":false,"rows":[{"record":"sensorConfig",)"
         R"("key":"serialNumber","label":"Nr fabryczny",)",
         "",
         Device::Changed},
        {{"--json", "restore", backup, "--yes"},
         {},
         0,
         R"(","clone":false,"toWrite":["sensorConfig","outputs"],"confirmed":true,)"
         R"("verified":["sensorConfig","outputs"],"notVerified":[],"unanswered":[],)"
         R"("notWritten":[]})"
         "\n",
         "",
         Device::AsSaved},
        {{"diff", backup},
         {},
         0,
         "no differences to write: the device has the file's settings\n",
         "",
         Device::AsSaved},
        {{"--json", "diff", backup}, {}, 0, R"("equal":true,)", "", Device::AsSaved},
    };
    std::string saved;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.args[0] + " " + step.args[1] + " " + step.input.value_or("-"));
        EXPECT_EQ(Run(step.args, step.input), step.status) << m_errors;
        EXPECT_NE(m_out.find(step.output), std::string::npos) << m_out;
        EXPECT_NE(m_errors.find(step.error), std::string::npos) << m_errors;
        if (saved.empty()) {
            saved = Contents(state);
            const SettingsRead file = LoadSettingsFile(QString::fromStdString(backup));
            ASSERT_TRUE(file.snapshot) << file.error;
            EXPECT_EQ(file.snapshot->records, RecordsOf(original));
            EXPECT_EQ(file.snapshot->port, "COM1");
        }
        EXPECT_EQ(Contents(state) == saved, step.device == Device::AsSaved);
    }
    EXPECT_EQ(std::filesystem::status(pipe).type(), std::filesystem::file_type::fifo);
}

// A file the format refuses ends with 3 and its message before the port is opened (COM9 has
// nothing behind it, so opening it would end with 1); a device that answers short writes no file.
TEST_F(CliSettingsFiles, RefusedFileOrDeviceSendsAndWritesNothing) {
    SettingsSnapshot snapshot;
    ASSERT_TRUE(snapshot.records.config.setDescription("Stary"));
    std::string edited = SettingsToJson(snapshot).toStdString();
    edited.replace(edited.find("\"Stary\""), 7, "\"Nowy\"");
    const struct {
        std::string name;
        std::string content; // empty: none; "|": a pipe
        std::string message;
    } files[] = {
        {"text.json", "not json", "not a settings file: not valid JSON ("},
        {"newer.json", R"({"format":"qal-device-settings","formatVersion":2})",
         "written in a newer version of the format (2)"},
        {"edited.json", edited,
         "sensorConfig.description does not agree with the record's bytes (Stary)"},
        {"missing.json", "", "cannot read the file: No such file or directory"},
        {"pipe.json", "|", "cannot read the file: not a regular file"},
    };
    for (const auto& file : files) {
        const std::string path = m_dir.Join(file.name);
        if (file.content == "|") {
            std::string why;
            ASSERT_TRUE(MakeOddFile(OddFile::Pipe, path, why)) << why; // a blocking open hangs
        } else if (!file.content.empty()) {
            std::ofstream(path) << file.content;
        }
        for (const char* command : {"diff", "restore"}) {
            SCOPED_TRACE(std::string(command) + " " + file.name);
            EXPECT_EQ(Run({"--port", "9", command, path, "--json"}), 3);
            EXPECT_NE(m_errors.find("qal-cli: " + path + ": " + file.message), std::string::npos)
                << m_errors;
            EXPECT_EQ(m_out, "");
        }
    }

    StartSim(3, Memory(1234, 2012), {"--short"});
    const std::string target = m_dir.Join("short.json");
    EXPECT_EQ(Run({"--port", "3", "save", target}), 1);
    EXPECT_NE(m_errors.find("the answer to the settings request from COM3 at address 31 is too "
                            "short: 19 bytes"),
              std::string::npos)
        << m_errors;
    EXPECT_FALSE(std::filesystem::exists(target));
}

// Another sensor's file is refused without --clone; with it, the replacement keeps its serial
// numbers and production year and takes everything else.
TEST_F(CliSettingsFiles, AnotherSensorsFileOnlyWithClone) {
    DeviceMemory original = Memory(1234, 2012);
    ASSERT_TRUE(original.sensorConfig.setDescription("Wzorzec"));
    const DeviceMemory replacement = Memory(777, 2019);
    const std::string state = StartSim(2, replacement);
    const std::string file = m_dir.Join("batch.json");
    WriteFile(file, RecordsOf(original));

    EXPECT_EQ(Run({"--port", "2", "diff", file}), 0) << m_errors;
    EXPECT_NE(m_out.find("the file is from another sensor"), std::string::npos) << m_out;
    EXPECT_EQ(Run({"--port", "2", "restore", file, "--yes"}), 3);
    EXPECT_NE(m_errors.find(file + " is from another sensor"), std::string::npos) << m_errors;
    EXPECT_EQ(RecordsOf(StateOf(state)), RecordsOf(replacement));

    EXPECT_EQ(Run({"--port", "2", "restore", file, "--clone", "--yes"}), 0) << m_errors;
    const DeviceRecords cloned = RecordsOf(StateOf(state));
    EXPECT_EQ(cloned, CloneOnto(RecordsOf(replacement), RecordsOf(original)));
    EXPECT_EQ(cloned.config.serialNumber(), 777);
    EXPECT_EQ(cloned.config.productionYear(), 2019);
    EXPECT_EQ(cloned.config.description(), "Wzorzec");
}

// A device that confirms a write but keeps something else: the read-back tells, with status 4.
TEST_F(CliSettingsFiles, RestoreWhoseReadBackDiffersEndsWithFour) {
    const DeviceMemory original = Memory(1234, 2012);
    const std::string state = StartSim(5, original, {"--writes", "alter"});
    DeviceRecords change = RecordsOf(original);
    ASSERT_TRUE(change.config.setDescription("Zmieniony"));
    const std::string file = m_dir.Join("changed.json");
    WriteFile(file, change);
    EXPECT_EQ(Run({"--port", "5", "restore", file, "--yes"}), 4) << m_errors;
    EXPECT_NE(m_out.find("written, but not read back as written: sensorConfig"), std::string::npos)
        << m_out;
    EXPECT_NE(m_errors.find("a record read back after the restore is not as written: sensorConfig"),
              std::string::npos)
        << m_errors;
}

} // namespace
