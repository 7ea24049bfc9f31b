#include "CliCommands.h"
#include "ConfigFile.h"
#include "SimProcess.h"
#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <regex>

namespace {

// qal-cli's scan in-process, behind a port list of the test's own (the system's serial ports
// are never touched): the settings folder's COM<n> links only.
int RunScan(const std::string& folder, std::vector<std::string> args, std::string& out) {
    args.push_back("scan");
    std::vector<CliCommandShape> shapes;
    for (const CliCommand& command : CliCommands()) {
        shapes.push_back(command.shape);
    }
    const CliArguments arguments = ParseCliArguments(args, shapes);
    EXPECT_EQ(arguments.error, "");
    CliRun run;
    run.arguments = &arguments;
    run.settingsDirectory = folder + "/";
    run.settings.baudRate = 19200;
    run.settings.deviceAddress = arguments.address.value_or(31);
    run.systemPorts = [] { return std::vector<PortCandidate>{}; };
    const auto scan = std::find_if(CliCommands().begin(), CliCommands().end(),
                                   [](const CliCommand& c) { return c.shape.name == "scan"; });
    testing::internal::CaptureStdout();
    const int status = scan->run(run);
    out = testing::internal::GetCapturedStdout();
    return status;
}

} // namespace

// A scan ends with 1 when no port answered (a silent device only), with 0 when one did, and
// lists a link up to COM255.
TEST(CliScan, StatusSaysWhetherAnythingAnswered) {
    const struct {
        const char* name;
        std::vector<std::string> sim;
        std::vector<std::string> args;
        int status;
        std::string line; // a regular expression for the whole output
    } cases[] = {
        {"silent only",
         {"--port", "2", "--silent"},
         {},
         1,
         R"(COM2 \(/dev/pts/\d+\): silent at 19200 - no answer\n)"},
        {"COM255 at address 255",
         {"--port", "255", "--address", "255"},
         {"--address", "255"},
         0,
         R"(COM255 \(/dev/pts/\d+\): answered at 19200 - "QAL-1P symulator", version 3\n)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CTempDirectory dir("qal-cli-scan");
        std::vector<std::string> options = {"--link", dir.Path()};
        options.insert(options.end(), c.sim.begin(), c.sim.end());
        CSimProcess sim(options);
        ASSERT_FALSE(sim.FirstLine().empty()) << sim.Errors();
        std::string out;
        EXPECT_EQ(RunScan(dir.Path(), c.args, out), c.status);
        EXPECT_TRUE(std::regex_match(out, std::regex(c.line))) << out;
    }
}
