#include "CliArguments.h"

#include <gtest/gtest.h>

namespace {

constexpr CliCommandShape kSpecs[] = {
    {"scan", "[--all-speeds]", "", kOptionAllSpeeds, 0},
    {"info", "", "", 0, 0},
    {"watch", "[--count N] [--csv]", "", kOptionCount | kOptionCsv, 0},
    {"clock", "[--set]", "", kOptionSet, 0},
    {"save", "FILE", "", 0, 1},
    {"restore", "FILE [--clone] [--yes]", "", kOptionClone | kOptionYes, 1},
};

CliArguments Parse(std::vector<std::string> args) {
    return ParseCliArguments(args, kSpecs);
}

const std::string kNoSpeed = "not a speed the port can take (such as 9600, 19200 or 115200)";

TEST(CliArguments, RefusesEveryMisuseWithItsReason) {
    const struct {
        std::vector<std::string> args;
        std::string error;
    } cases[] = {
        {{}, "no command given (try --help)"},
        {{"--json"}, "no command given (try --help)"},
        {{"frobnicate"}, "unknown command frobnicate"},
        {{"info", "--verbose"}, "unknown option --verbose"},
        {{"info", "extra"}, "unexpected argument extra"},
        {{"save"}, "save needs a file"},
        {{"--port"}, "--port needs a value"},
        {{"--device", "", "info"}, "--device needs a value"},
        {{"--port", "0", "info"}, "--port 0: not a valid number (1 to 255)"},
        {{"--port", "256", "info"}, "--port 256: not a valid number (1 to 255)"},
        {{"--port", "3x", "info"}, "--port 3x: not a valid number (1 to 255)"},
        {{"--address", "-1", "info"}, "--address -1: not a valid number (0 to 255)"},
        {{"--baud", "12345", "info"}, "--baud 12345: " + kNoSpeed},
        {{"--baud", "fast", "info"}, "--baud fast: " + kNoSpeed},
        {{"--baud", "0", "info"}, "--baud 0: " + kNoSpeed},
        {{"--baud", "-9600", "info"}, "--baud -9600: " + kNoSpeed},
        {{"--baud", "99999999", "info"}, "--baud 99999999: " + kNoSpeed},
        {{"save", "--", "a.json", "b.json"}, "unexpected argument b.json"},
        {{"info", "--", "--json"}, "unexpected argument --json"},
        {{"--port", "2", "--device", "/dev/ttyUSB0", "info"},
         "--port and --device exclude each other"},
        {{"watch", "--count", "0"}, "--count 0: not a valid number"},
        {{"info", "--csv"}, "--csv does not go with info"},
        {{"watch", "--set"}, "--set does not go with watch"},
        {{"clock", "--all-speeds"}, "--all-speeds does not go with clock"},
        {{"info", "--count", "3"}, "--count does not go with info"},
        {{"save", "a.json", "--yes"}, "--yes does not go with save"},
        {{"save", "a.json", "--clone"}, "--clone does not go with save"},
        {{"restore", "--yes"}, "restore needs a file"},
        {{"--json", "watch", "--csv"}, "--csv and --json exclude each other"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        const CliArguments parsed = Parse(c.args);
        EXPECT_EQ(parsed.error, c.error);
        EXPECT_FALSE(parsed.help);
    }
}

TEST(CliArguments, TakesOptionsOnEitherSideOfTheCommand) {
    const CliArguments watch = Parse({"--port", "7", "watch", "--count", "3", "--baud", "9600",
                                      "--address", "0", "--csv", "--settings", "/tmp/x"});
    EXPECT_EQ(watch.error, "");
    EXPECT_EQ(watch.command, "watch");
    EXPECT_EQ(watch.port, 7);
    EXPECT_EQ(watch.count, 3);
    EXPECT_EQ(watch.baudRate, 9600);
    EXPECT_EQ(watch.address, 0);
    EXPECT_TRUE(watch.csv);
    EXPECT_EQ(watch.settingsDirectory, "/tmp/x");

    const CliArguments save = Parse({"--device", "/dev/ttyUSB0", "save", "a.qal"});
    EXPECT_EQ(save.error, "");
    EXPECT_EQ(save.device, "/dev/ttyUSB0");
    EXPECT_EQ(save.files, std::vector<std::string>{"a.qal"});
    const CliArguments restore = Parse({"--yes", "restore", "--clone", "b.json"});
    EXPECT_EQ(restore.error, "");
    EXPECT_TRUE(restore.clone && restore.yes);
    EXPECT_EQ(restore.files, std::vector<std::string>{"b.json"});

    const std::string usage = CliUsage(kSpecs);
    EXPECT_NE(usage.find("[--settings DIR]"), std::string::npos);
    EXPECT_NE(usage.find("  watch [--count N] [--csv]"), std::string::npos);
    EXPECT_NE(usage.find("  save FILE"), std::string::npos);
    EXPECT_NE(usage.find("  restore FILE [--clone] [--yes]\n" + std::string(30, ' ')),
              std::string::npos);
}

// Help wins over anything else wrong on the line; after "--" every word is a file, so that a
// file named like an option can be given, and "-" (standard input or output) is a file too.
TEST(CliArguments, HelpWinsAndDoubleDashEndsTheOptions) {
    const struct {
        std::vector<std::string> args;
        bool help;
        std::vector<std::string> files;
    } cases[] = {
        {{"info", "--bogus", "--help"}, true, {}},
        {{"--port", "0", "-h"}, true, {}},
        {{"frobnicate", "--help"}, true, {}},
        {{"save", "--", "--help"}, false, {"--help"}},
        {{"save", "--", "-x.json"}, false, {"-x.json"}},
        {{"--", "save", "a.json"}, false, {"a.json"}},
        {{"save", "-"}, false, {"-"}},
        {{"--json", "restore", "--yes", "--", "-"}, false, {"-"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.back());
        const CliArguments parsed = Parse(c.args);
        EXPECT_EQ(parsed.help, c.help);
        if (!c.help) {
            EXPECT_EQ(parsed.error, "");
            EXPECT_EQ(parsed.files, c.files);
        }
    }
}

// The ends of every range are taken.
TEST(CliArguments, TakesTheEndsOfEveryRange) {
    const struct {
        std::vector<std::string> args;
        int port, address, baud;
    } cases[] = {
        {{"--port", "255", "--address", "255", "info"}, 255, 255, 0},
        {{"--port", "1", "--address", "0", "info"}, 1, 0, 0},
        {{"--baud", "115200", "info"}, 0, 0, 115200},
        {{"--baud", "1200", "info"}, 0, 0, 1200},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[1]);
        const CliArguments parsed = Parse(c.args);
        EXPECT_EQ(parsed.error, "");
        EXPECT_EQ(parsed.port.value_or(0), c.port);
        EXPECT_EQ(parsed.address.value_or(0), c.address);
        EXPECT_EQ(parsed.baudRate.value_or(0), c.baud);
    }
}

} // namespace
