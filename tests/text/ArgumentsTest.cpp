#include "ProgramArguments.h"
#include "Utf16.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(WideText, Utf16BecomesValidUtf8) {
    const struct {
        const char* name;
        std::u16string wide;
        std::string utf8;
    } cases[] = {
        {"ASCII", u"info", "info"},
        {"a Polish path", u"C:\\Users\\J\u00f3zef\\\u0141\u00f3d\u017a", "C:\\Users\\Józef\\Łódź"},
        {"every Polish letter", u"\u0105\u0107\u0119\u0142\u0144\u00f3\u015b\u017a\u017c",
         "ąćęłńóśźż"},
        {"a character beyond 16 bits", u"\U0001F4A8", "\xF0\x9F\x92\xA8"},
        {"a high surrogate alone", std::u16string(u"a") + char16_t(0xD83D) + u"b", "a\uFFFDb"},
        {"a low surrogate alone", std::u16string(1, char16_t(0xDCA8)), "\uFFFD"},
        {"a high surrogate at the end", std::u16string(1, char16_t(0xD83D)), "\uFFFD"},
        {"empty", u"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8FromUtf16(c.wide), c.utf8) << c.name;
    }
}

TEST(WideText, ProgramArgumentsKeepAPolishPath) {
#if defined(_WIN32)
    // As the system splits a command line, quotes and backslashes included.
    const struct {
        const wchar_t* commandLine;
        std::vector<std::string> arguments;
    } cases[] = {
        {L"qal-cli.exe --settings \"C:\\Users\\J\u00f3zef\\Pulpit\" info",
         {"qal-cli.exe", "--settings", "C:\\Users\\Józef\\Pulpit", "info"}},
        {L"qal-cli.exe restore \"D:\\\u017b\u00f3\u0142w\\czujnik 1.json\" --yes",
         {"qal-cli.exe", "restore", "D:\\Żółw\\czujnik 1.json", "--yes"}},
        {L"qal-cli.exe \"C:\\Users\\J\u00f3zef\\\\\"", {"qal-cli.exe", "C:\\Users\\Józef\\"}},
        {L"", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ArgumentsOfCommandLine(c.commandLine), c.arguments);
    }
#else
    char program[] = "qal-cli";
    char option[] = "--settings";
    char path[] = "/home/józef/qal";
    char* argv[] = {program, option, path, nullptr};
    EXPECT_EQ(ProgramArguments(3, argv),
              (std::vector<std::string>{"qal-cli", "--settings", "/home/józef/qal"}));
#endif
}
