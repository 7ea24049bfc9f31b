#include "SimOptions.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace {

ParsedOptions Parse(std::initializer_list<const char*> args) {
    std::vector<const char*> argv{"qal-sim"};
    argv.insert(argv.end(), args.begin(), args.end());
    return ParseOptions(static_cast<int>(argv.size()), argv.data());
}

} // namespace

TEST(SimOptions, DefaultsServeTheDemo) {
    const ParsedOptions parsed = Parse({});
    ASSERT_EQ(parsed.outcome, ParsedOptions::Run);
    EXPECT_EQ(parsed.options.address, 31);
    EXPECT_TRUE(parsed.options.linkDirectory.empty());
    EXPECT_EQ(parsed.options.modelMarker, ModelMarkerMode::First);
    EXPECT_FALSE(parsed.options.silent);
    EXPECT_EQ(parsed.options.delayMs, 0);
    EXPECT_TRUE(parsed.options.text.empty());
    EXPECT_EQ(parsed.options.corruptFraction, 0.0);
    EXPECT_FALSE(parsed.options.speed);
    EXPECT_FALSE(parsed.options.pace);
    EXPECT_EQ(parsed.options.baudRate, 19200);
}

TEST(SimOptions, EveryOptionReachesItsField) {
    const ParsedOptions parsed = Parse({"--address",
                                        "7",
                                        "--link",
                                        "/tmp/x",
                                        "--port=3",
                                        "--state",
                                        "s.bin",
                                        "--seed",
                                        "4294967295",
                                        "--model-marker",
                                        "always",
                                        "--failure",
                                        "--silent",
                                        "--delay",
                                        "250",
                                        "--text",
                                        "Uwaga: wiatr",
                                        "--text-period",
                                        "1500",
                                        "--corrupt",
                                        "0.25",
                                        "--short",
                                        "--speed",
                                        "-12.5",
                                        "--ignore-stdin",
                                        "--verbose",
                                        "--pace",
                                        "--baud=9600",
                                        "--writes",
                                        "alter"});
    ASSERT_EQ(parsed.outcome, ParsedOptions::Run) << parsed.error;
    const SimOptions& o = parsed.options;
    EXPECT_EQ(o.address, 7);
    EXPECT_EQ(o.linkDirectory, "/tmp/x");
    EXPECT_EQ(o.port, 3);
    EXPECT_EQ(o.stateFile, "s.bin");
    EXPECT_EQ(o.seed, 4294967295u);
    EXPECT_EQ(o.modelMarker, ModelMarkerMode::Always);
    EXPECT_TRUE(o.failure && o.silent && o.shortAnswers && o.ignoreInput && o.verbose && o.pace);
    EXPECT_EQ(o.baudRate, 9600);
    EXPECT_EQ(o.delayMs, 250);
    EXPECT_EQ(o.text, "Uwaga: wiatr");
    EXPECT_EQ(o.textPeriodMs, 1500);
    EXPECT_EQ(o.corruptFraction, 0.25);
    EXPECT_EQ(o.speed, -125);
    EXPECT_EQ(o.writes, WriteMode::Alter);
    EXPECT_EQ(Parse({"--writes=ignore"}).options.writes, WriteMode::Ignore);
    EXPECT_EQ(Parse({"--model-marker", "never"}).options.modelMarker, ModelMarkerMode::Never);
    EXPECT_EQ(Parse({"--speed", "3276.6"}).options.speed, 32766);
    EXPECT_EQ(Parse({"--speed", "0"}).options.speed, 0);
}

TEST(SimOptions, ListenTakesAnAddressOnlyWhenAsked) {
    const struct {
        const char* text;
        const char* host;
        int port;
    } table[] = {
        {"4001", "127.0.0.1", 4001},
        {"0", "127.0.0.1", 0},
        {"0.0.0.0:4001", "0.0.0.0", 4001},
        {"[::1]:65535", "::1", 65535},
    };
    for (const auto& row : table) {
        const ParsedOptions parsed = Parse({"--listen", row.text});
        ASSERT_EQ(parsed.outcome, ParsedOptions::Run) << row.text << ": " << parsed.error;
        EXPECT_EQ(parsed.options.listen, (ListenAddress{row.host, row.port})) << row.text;
    }
    EXPECT_FALSE(Parse({}).options.listen);
}

TEST(SimOptions, BadValuesAreRefusedWithAMessageNamingTheOption) {
    const struct {
        std::initializer_list<const char*> args;
        const char* message;
    } table[] = {
        {{"--address", "256"}, "--address must be a whole number from 0 to 255, not \"256\""},
        {{"--address", "-1"}, "--address must be"},
        {{"--address", "0x1F"}, "--address must be"},
        {{"--address"}, "--address needs a value"},
        {{"--port", "0", "--link", "."}, "--port must be a whole number from 1 to 255"},
        {{"--port", "2"}, "--port needs --link"},
        {{"--link", ""}, "--link needs a directory"},
        {{"--seed", "4294967296"}, "--seed must be"},
        {{"--model-marker", "sometimes"}, "--model-marker must be never, first or always"},
        {{"--writes", "drop"}, "--writes must be keep, ignore or alter, not \"drop\""},
        {{"--delay", "60001"}, "--delay must be a whole number of milliseconds"},
        {{"--delay", "1.5"}, "--delay must be"},
        {{"--text-period", "99", "--text", "x"}, "--text-period must be"},
        {{"--text-period", "1000"}, "--text-period needs --text"},
        {{"--text", ""}, "--text must not be empty"},
        {{"--corrupt", "1.5"}, "--corrupt must be a fraction from 0 to 1"},
        {{"--corrupt", "-0.1"}, "--corrupt must be"},
        {{"--corrupt", "nan"}, "--corrupt must be"},
        {{"--speed", "3276.7"}, "--speed must be in m/s with at most one decimal"},
        {{"--speed", "1.25"}, "--speed must be"},
        {{"--speed", "1,5"}, "--speed must be"},
        {{"--silent=yes"}, "--silent takes no value"},
        {{"--pace=19200"}, "--pace takes no value"},
        {{"--pace", "--baud", "19201"}, "--baud must be a rate a serial port can be set to"},
        {{"--pace", "--baud", "0"}, "--baud must be"},
        {{"--pace", "--baud", "9600.0"}, "--baud must be"},
        {{"--pace", "--baud", "99999999999"}, "--baud must be"},
        {{"--baud", "9600"}, "--baud needs --pace"},
        {{"--listen", "4001x"}, "--listen must be [HOST:]PORT"},
        {{"--listen", "65536"}, "--listen must be"},
        {{"--listen", ":4001"}, "--listen must be"},
        {{"--listen", "::1:4001"}, "--listen must be"},
        {{"--listen", "[]:4001"}, "--listen must be"},
        {{"--listen", "1", "--baud", "9600"}, "--baud needs --pace: a connection"},
        {{"--colour"}, "unknown option --colour"},
        {{"COM1"}, "unexpected argument \"COM1\""},
    };
    for (const auto& row : table) {
        const ParsedOptions parsed = Parse(row.args);
        EXPECT_EQ(parsed.outcome, ParsedOptions::Error) << row.message;
        EXPECT_EQ(parsed.error.rfind(row.message, 0), 0u)
            << "got: " << parsed.error << "\nwanted: " << row.message;
    }
}

TEST(SimOptions, HelpWinsAndExplainsEveryOption) {
    EXPECT_EQ(Parse({"--delay", "5", "--help"}).outcome, ParsedOptions::Help);
    EXPECT_EQ(Parse({"-h"}).outcome, ParsedOptions::Help);
    const std::string help = HelpText();
    for (const char* option :
         {"--link",         "--port",    "--address", "--state",        "--seed", "--speed",
          "--model-marker", "--failure", "--silent",  "--delay",        "--text", "--text-period",
          "--corrupt",      "--short",   "--verbose", "--ignore-stdin", "--pace", "--baud",
          "--help",         "SIGTERM",   "Ctrl+D",    "--listen"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
}

TEST(DeviceText, PolishTextIsSentInWindows1250) {
    const ParsedOptions parsed = Parse({"--text", "Wiatr 25 m/s – uwaga!"});
    ASSERT_EQ(parsed.outcome, ParsedOptions::Run);
    EXPECT_EQ(parsed.options.text, "Wiatr 25 m/s \x96 uwaga!");
}

TEST(DeviceText, TextTheDeviceCannotHoldIsRefused) {
    EXPECT_EQ(Parse({"--text", "Жук"}).error,
              "--text cannot be sent: the character \"Ж\" (U+0416) has no Windows-1250 code");
    // 61 characters fill the payload with the closing zero byte; Polish letters count once.
    const std::string longest(60, 'x');
    EXPECT_EQ(Parse({"--text", (longest + "ł").c_str()}).options.text.size(), 61u);
    EXPECT_EQ(Parse({"--text", (longest + "łx").c_str()}).error,
              "--text is 62 characters long; a device text holds at most 61");
}

// Windows has no pseudo-terminal: only a listening simulator can run there.
TEST(SimOptions, WithoutAPseudoTerminalOnlyListeningRuns) {
    const struct {
        std::initializer_list<const char*> args;
        bool refused;
    } table[] = {
        {{}, true},
        {{"--pace", "--text", "x"}, true},
        {{"--link", "dir", "--port", "3"}, true},
        {{"--listen", "0"}, false},
        {{"--listen", "127.0.0.1:4001", "--link", "dir", "--pace"}, false},
    };
    for (const auto& row : table) {
        const ParsedOptions parsed = Parse(row.args);
        ASSERT_EQ(parsed.outcome, ParsedOptions::Run) << parsed.error;
        const std::string refusal = ListenOnlyRefusal(parsed.options);
        EXPECT_EQ(!refusal.empty(), row.refused) << refusal;
        if (row.refused) {
            EXPECT_NE(refusal.find("--listen"), std::string::npos) << refusal;
        }
    }
}
