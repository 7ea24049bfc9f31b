#include "ConfigFile.h"
#include "SimProcess.h"
#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace {

// qal-cli as a user runs it, against simulators behind COM1 (answering) and COM2 (silent) of
// a settings folder whose config.cfg names COM1.
class CliProcess : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(m_dir.Path().empty());
        ASSERT_FALSE(m_device.FirstLine().empty());
        ASSERT_FALSE(m_silent.FirstLine().empty());
        ASSERT_EQ(SaveConfigFile(m_dir.Join("config.cfg"), ConnectionSettings{1, 19200, 31}),
                  ConfigSaveResult::Written);
    }

    // Runs qal-cli with the settings folder; the exit status, standard output in out.
    int Run(std::vector<std::string> args, std::string& out, std::string* errors = nullptr) {
        args.insert(args.begin(), {"--settings", m_dir.Path()});
        CSimProcess cli(QAL_CLI_PATH, args);
        const int status = cli.Wait(std::chrono::seconds(10));
        out = cli.Output();
        if (errors != nullptr) {
            *errors = cli.Errors();
        }
        return status;
    }

    static std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }

    CTempDirectory m_dir{"qal-cli"};
    CSimProcess m_device{{"--link", m_dir.Path(), "--port", "1", "--model-marker", "never"}};
    CSimProcess m_silent{{"--link", m_dir.Path(), "--port", "2", "--silent"}};
};

TEST_F(CliProcess, CommandsPrintTextOrJsonAndSayHowTheyEnded) {
    const std::string stamp = R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d)";
    const std::string json = R"(\{"time":")" + stamp + R"(","reading":\d,"speed":-?\d+\.\d,)" +
                             R"("deviceInOrder":true,"outputs":\[[01],[01],[01]\]\})";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string output; // a regular expression for the whole of standard output
        std::string error;  // a piece of standard error
    } cases[] = {
        {{"info"},
         0,
         R"(port:     COM1 at 19200, address 31\nversion:  QAL-1P symulator, version 3\n)"
         R"(speed:    -?\d+\.\d m/s\ndevice:   in order\noutputs:  [01] [01] [01]\n)",
         ""},
        {{"--json", "info"},
         0,
         R"(\{"port":"COM1","baud":19200,"address":31,"version":\{"number":3,"text":"QAL-1P )"
         R"(symulator"\},"model":null,"reading":)" +
             json + "\\}\n",
         ""},
        {{"watch", "--count", "3", "--json"}, 0, "(" + json + "\n){3}", ""},
        {{"watch", "--count", "2"},
         0,
         "(" + std::string(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d  #\d  -?\d+\.\d m/s  )") +
             R"(outputs [01] [01] [01]\n){2})",
         ""},
        {{"clock"}, 0, R"(device clock: \d{4}-\d\d-\d\d \d\d:\d\d:\d\d\n)", ""},
        {{"clock", "--set", "--json"},
         0,
         R"(\{"deviceClock":")" + stamp + R"(","set":")" + stamp + "\"\\}\n",
         ""},
        {{"--port", "2", "info"}, 1, "", "no answer to the version request from COM2"},
        {{"--port", "9", "clock"}, 1, "", "cannot open COM9"},
        {{"--address", "5", "clock"}, 1, "", "at address 5"},
        {{"watch", "--set"}, 2, "", "qal-cli: --set does not go with watch\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.back());
        std::string out;
        std::string errors;
        EXPECT_EQ(Run(c.args, out, &errors), c.status) << errors;
        EXPECT_TRUE(std::regex_match(out, std::regex(c.output))) << out;
        EXPECT_NE(errors.find(c.error), std::string::npos) << errors;
    }
}

// A settings file that is there but cannot be read is not silently replaced by the defaults.
TEST_F(CliProcess, UnreadableSettingsFileEndsWithThree) {
    CTempDirectory tooShort("qal-cli-short");
    std::ofstream(tooShort.Join("config.cfg")) << "12345";
    CTempDirectory folder("qal-cli-folder");
    ASSERT_TRUE(std::filesystem::create_directory(folder.Join("config.cfg")));
    for (const CTempDirectory* dir : {&tooShort, &folder}) {
        CSimProcess cli(QAL_CLI_PATH, {"--settings", dir->Path(), "info"});
        EXPECT_EQ(cli.Wait(std::chrono::seconds(5)), 3);
        EXPECT_NE(cli.Errors().find("cannot read " + dir->Join("config.cfg")), std::string::npos)
            << cli.Errors();
    }
}

// Ctrl+C ends a watch cleanly: the readings so far, the port closed, status 0.
TEST_F(CliProcess, InterruptEndsWatchCleanly) {
    CSimProcess cli(QAL_CLI_PATH, {"--settings", m_dir.Path(), "watch", "--csv"});
    EXPECT_EQ(cli.FirstLine(), "time,reading,speed_mps,device_in_order,output1,output2,output3");
    std::this_thread::sleep_for(std::chrono::milliseconds(1300));
    cli.Signal(SIGINT);
    EXPECT_EQ(cli.Wait(std::chrono::seconds(3)), 0) << cli.Errors();
    const auto lines = Lines(cli.Output());
    EXPECT_GE(lines.size(), 2u);
    EXPECT_EQ(cli.Errors(), "");
}

// A device that goes away while watched ends the watch with status 1, not a stream of misses.
TEST_F(CliProcess, WatchEndsWhenTheLineGoes) {
    CSimProcess cli(QAL_CLI_PATH, {"--settings", m_dir.Path(), "watch"});
    EXPECT_FALSE(cli.FirstLine().empty());
    m_device.Signal(SIGTERM);
    EXPECT_EQ(cli.Wait(std::chrono::seconds(5)), 1);
    EXPECT_NE(cli.Errors().find("the connection to COM1 ended"), std::string::npos) << cli.Errors();
}

// A reader that goes away ends a watch instead of leaving it writing into nothing.
TEST_F(CliProcess, WatchEndsWhenItsReaderGoesAway) {
    CSimProcess pipeline("/bin/sh", {"-c", std::string(QAL_CLI_PATH) + " --settings '" +
                                               m_dir.Path() + "' watch | head -n 1"});
    EXPECT_EQ(pipeline.Wait(std::chrono::seconds(6)), 0) << pipeline.Errors();
    EXPECT_EQ(Lines(pipeline.Output()).size(), 1u);
}

} // namespace

namespace {

// A sensor behind a TCP port (qal-sim --listen), reached by URL or through the port ports.json
// maps to it; scan asks it with the rest.
TEST_F(CliProcess, NetworkPortsByUrlByMappingAndInTheScan) {
    CSimProcess network(
        {"--listen", "0", "--link", m_dir.Path(), "--port", "3", "--model-marker", "never"});
    const std::string url = network.FirstLine();
    ASSERT_EQ(url.rfind("tcp://127.0.0.1:", 0), 0u) << network.Errors();
    const std::string version = "version:  QAL-1P symulator, version 3\n";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string output; // a piece of standard output
        std::string error;  // a piece of standard error
    } cases[] = {
        {{"--device", url, "info"}, 0, "port:     " + url + " at 19200, address 31\n" + version, ""},
        {{"--port", "3", "info"}, 0, "port:     COM3 at 19200, address 31\n" + version, ""},
        {{"scan"}, 0, "COM3 (" + url + ")", ""},
        {{"--device", "tcp://127.0.0.1", "info"},
         2,
         "",
         "qal-cli: --device: the port number is missing (HOST:PORT): tcp://127.0.0.1\n"},
        {{"--device", "rfc2217://127.0.0.1:1", "info"}, 1, "", "127.0.0.1:1: Connection refused"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.front() + " " + c.args.back());
        std::string out;
        std::string errors;
        EXPECT_EQ(Run(c.args, out, &errors), c.status) << errors;
        EXPECT_NE(out.find(c.output), std::string::npos) << out;
        EXPECT_NE(errors.find(c.error), std::string::npos) << errors;
    }
}

} // namespace
