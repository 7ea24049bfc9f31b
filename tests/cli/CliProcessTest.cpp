#include "ConfigFile.h"
#include "LanguageFile.h"
#include "SimProcess.h"
#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace {

// qal-cli as a user runs it, against simulators behind COM<n> links of a settings folder whose
// config.cfg names COM1: COM1 answers (and never reports its model), COM2 is silent, COM3
// reports its model first as a device does, COM4 takes no write, COM255 answers at address 255;
// COM9 leads nowhere.
class CliProcess : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(m_dir.Path().empty());
        for (CSimProcess* sim : {&m_device, &m_silent, &m_marker, &m_ignoring, &m_far}) {
            ASSERT_FALSE(sim->FirstLine().empty()) << sim->Errors();
        }
        ASSERT_EQ(SaveConfigFile(m_dir.Join("config.cfg"), ConnectionSettings{1, 19200, 31}),
                  ConfigSaveResult::Written);
        std::error_code error; // the messages these tests read are the English ones
        ASSERT_TRUE(SaveLanguageFile(m_dir.Path() + "/", Language::English, error));
        std::filesystem::create_symlink(m_dir.Join("nothing"), m_dir.Join("COM9"));
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

    std::vector<std::string> Sim(int port, std::vector<std::string> options = {}) const {
        options.insert(options.begin(), {"--link", m_dir.Path(), "--port", std::to_string(port)});
        return options;
    }

    CTempDirectory m_dir{"qal-cli"};
    CSimProcess m_device{Sim(1, {"--model-marker", "never"})};
    CSimProcess m_silent{Sim(2, {"--silent"})};
    CSimProcess m_marker{Sim(3)};
    CSimProcess m_ignoring{Sim(4, {"--writes", "ignore"})};
    CSimProcess m_far{Sim(255, {"--address", "255", "--model-marker", "never"})};
};

TEST_F(CliProcess, CommandsPrintTextOrJsonAndSayHowTheyEnded) {
    // Local time with milliseconds and the offset from UTC, as the recording writes it.
    const std::string stamp = R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d)";
    const std::string clock = R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d)";
    const std::string json = R"(\{"time":")" + stamp + R"(","reading":\d,"speed":-?\d+\.\d,)" +
                             R"("status":\d+,"deviceInOrder":true,"outputs":\[[01],[01],[01]\]\})";
    const std::string csv = stamp + R"(,\d,-?\d+\.\d,0x[0-9A-F]{2},0,[01],[01],[01])";
    const std::string reading =
        R"(speed:    -?\d+\.\d m/s\ndevice:   in order\noutputs:  [01] [01] [01]\n)";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string output; // a regular expression for the whole of standard output
        std::string error;  // a piece of standard error
    } cases[] = {
        {{"info"},
         0,
         R"(port:     COM1 at 19200, address 31\nversion:  QAL-1P symulator, version 3\n)" +
             reading,
         ""},
        {{"--port", "3", "info"},
         0,
         R"(port:     COM3 at 19200, address 31\nversion:  QAL-1P symulator, version 3\n)"
         R"(model:    QAL-1P\n)" +
             reading,
         ""},
        {{"--port", "255", "--address", "255", "info"},
         0,
         R"(port:     COM255 at 19200, address 255\nversion:  QAL-1P symulator, version 3\n)" +
             reading,
         ""},
        {{"--json", "info"},
         0,
         R"(\{"port":"COM1","baud":19200,"address":31,"version":\{"number":3,"text":"QAL-1P )"
         R"(symulator"\},"model":null,"reading":)" +
             json + "\\}\n",
         ""},
        {{"watch", "--count", "3", "--json"}, 0, "(" + json + "\n){3}", ""},
        {{"watch", "--count", "2", "--csv"},
         0,
         "time,reading,speed_mps,status,failure,output1,output2,output3\n(" + csv + "\n){2}",
         ""},
        {{"watch", "--count", "2"},
         0,
         "(" + stamp + R"(  #\d  -?\d+\.\d m/s  outputs [01] [01] [01]\n){2})",
         ""},
        {{"--port", "2", "watch", "--count", "2"},
         1,
         "",
         "no answer to the measurement request from COM2 at address 31"},
        {{"clock"}, 0, R"(device clock: \d{4}-\d\d-\d\d \d\d:\d\d:\d\d\n)", ""},
        {{"clock", "--set", "--json"},
         0,
         R"(\{"deviceClock":")" + clock + R"(","set":")" + clock + "\"\\}\n",
         ""},
        {{"--port", "4", "clock", "--set"}, 1, "", "the device did not confirm the new time"},
        {{"--port", "2", "info"}, 1, "", "no answer to the version request from COM2"},
        {{"--port", "9", "clock"}, 1, "", "cannot open COM9 ("},
        {{"--device", m_dir.Join("nothing"), "clock"},
         1,
         "",
         "qal-cli: cannot open " + m_dir.Join("nothing") + ": No such file or directory\n"},
        {{"--address", "5", "clock"}, 1, "", "at address 5"},
        {{"watch", "--set"}, 2, "", "qal-cli: --set does not go with watch\n"},
        {{"watch", "--baud", "fast"}, 2, "", "--baud fast: not a speed the port can take"},
    };
    for (const auto& c : cases) {
        std::string name;
        for (const std::string& arg : c.args) {
            name += arg + " ";
        }
        SCOPED_TRACE(name);
        std::string out;
        std::string errors;
        EXPECT_EQ(Run(c.args, out, &errors), c.status) << errors;
        EXPECT_TRUE(std::regex_match(out, std::regex(c.output))) << out;
        EXPECT_NE(errors.find(c.error), std::string::npos) << errors;
        EXPECT_EQ(errors.find("COM1 ("), std::string::npos) << "a device is named by its path";
    }
}

// A settings file that is there but cannot be read is not silently replaced by the defaults.
TEST_F(CliProcess, UnreadableSettingsFileEndsWithThree) {
    CTempDirectory tooShort("qal-cli-short");
    std::ofstream(tooShort.Join("config.cfg")) << "12345";
    CTempDirectory folder("qal-cli-folder");
    ASSERT_TRUE(std::filesystem::create_directory(folder.Join("config.cfg")));
    for (const CTempDirectory* dir : {&tooShort, &folder}) {
        CSimProcess cli(QAL_CLI_PATH, {"--settings", dir->Path(), "--language", "en", "info"});
        EXPECT_EQ(cli.Wait(std::chrono::seconds(5)), 3);
        EXPECT_NE(cli.Errors().find("cannot read " + dir->Join("config.cfg")), std::string::npos)
            << cli.Errors();
    }
}

// Ctrl+C ends a watch cleanly: the readings so far, the port closed, status 0.
TEST_F(CliProcess, InterruptEndsWatchCleanly) {
    CSimProcess cli(QAL_CLI_PATH, {"--settings", m_dir.Path(), "watch", "--csv"});
    EXPECT_EQ(cli.FirstLine(), "time,reading,speed_mps,status,failure,output1,output2,output3");
    EXPECT_FALSE(cli.Line(1, std::chrono::seconds(3)).empty()) << "a first reading";
    cli.Signal(SIGINT);
    EXPECT_EQ(cli.Wait(std::chrono::seconds(3)), 0) << cli.Errors();
    const auto lines = Lines(cli.Output());
    EXPECT_GE(lines.size(), 2u);
    EXPECT_EQ(cli.Errors(), "");
}

// Ctrl+C or SIGTERM while a command waits (for a device that does not answer, for a settings
// file on standard input) ends it at once, saying so, with 128 + the signal.
TEST_F(CliProcess, StopWhileWaitingSaysInterrupted) {
    const struct {
        std::vector<std::string> args;
        int signal;
        int status;
    } cases[] = {
        {{"--port", "2", "info"}, SIGINT, 130},
        {{"--port", "2", "save", m_dir.Join("x.json")}, SIGTERM, 143},
        {{"diff", "-"}, SIGINT, 130},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[c.args.size() - 1]);
        std::vector<std::string> args = c.args;
        args.insert(args.begin(), {"--settings", m_dir.Path()});
        CSimProcess cli(QAL_CLI_PATH, args); // its standard input stays open, and empty
        ASSERT_TRUE(cli.WaitUntilCatching(c.signal, std::chrono::seconds(3)));
        cli.Signal(c.signal);
        EXPECT_EQ(cli.Wait(std::chrono::seconds(3)), c.status);
        EXPECT_EQ(cli.Errors(), "qal-cli: interrupted\n");
        EXPECT_FALSE(std::filesystem::exists(m_dir.Join("x.json")));
    }
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

// Help that could not be written (here a file-size limit in place of a full disk) is a failure.
TEST(CliHelp, HelpThatCannotBeWrittenIsAFailure) {
    CTempDirectory dir("qal-cli-help");
    const struct {
        const char* limit;
        int status;
    } cases[] = {{"unlimited", 0}, {"0", 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.limit);
        CSimProcess shell("/bin/sh",
                          {"-c", std::string("trap '' XFSZ; ulimit -f ") + c.limit + "; exec " +
                                     QAL_CLI_PATH + " --help > '" + dir.Join("help.txt") + "'"});
        EXPECT_EQ(shell.Wait(std::chrono::seconds(5)), c.status) << shell.Errors();
    }
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
        {{"--device", url, "info"},
         0,
         "port:     " + url + " at 19200, address 31\n" + version,
         ""},
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
