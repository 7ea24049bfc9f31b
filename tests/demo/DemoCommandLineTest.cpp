#include "DemoCommandLine.h"

#include <gtest/gtest.h>

// Expected texts follow the rules by which CommandLineToArgvW reads a command line back.
TEST(DemoCommandLine, ArgumentsSurviveTheWindowsCommandLine) {
    const struct {
        const char* argument;
        const char* quoted;
    } table[] = {
        {"--listen", "--listen"},
        {"", "\"\""},
        {"C:\\Program Files\\QAL\\qal-sim.exe", "\"C:\\Program Files\\QAL\\qal-sim.exe\""},
        // A trailing backslash would otherwise escape the closing quote.
        {"C:\\Users\\Jan Kowalski\\", "\"C:\\Users\\Jan Kowalski\\\\\""},
        {"say \"hi\"", "\"say \\\"hi\\\"\""},
        {"a\\\"b", "\"a\\\\\\\"b\""},
        // Backslashes not before a quote stay as they are.
        {"C:\\dir\\x", "C:\\dir\\x"},
        {"tab\there", "\"tab\there\""},
    };
    for (const auto& row : table) {
        EXPECT_EQ(QuoteWindowsArgument(row.argument), row.quoted) << row.argument;
    }
}

TEST(DemoCommandLine, TheSimulatorMapsThePortInTheDemoFolder) {
    const struct {
        const char* folder;
        const char* link;
    } table[] = {
        {"C:\\Users\\Jan\\AppData\\Local\\qal-terminal-demo\\qal-terminal\\",
         "C:\\Users\\Jan\\AppData\\Local\\qal-terminal-demo\\qal-terminal"},
        {"D:\\QAL portable/", "D:\\QAL portable"},
        {"D:\\", "D:\\"}, // a drive's root keeps its separator
        {"relative", "relative"},
    };
    for (const auto& row : table) {
        const std::vector<std::string> arguments =
            DemoSimulatorArguments("qal-sim.exe", row.folder, 7);
        const std::vector<std::string> expected = {
            "qal-sim.exe", "--listen", "127.0.0.1:0", "--link", row.link, "--port", "7"};
        EXPECT_EQ(arguments, expected) << row.folder;
    }
    EXPECT_EQ(WindowsCommandLine({"C:\\A B\\qal-sim.exe", "--link", "C:\\A B\\"}),
              "\"C:\\A B\\qal-sim.exe\" --link \"C:\\A B\\\\\"");
}
