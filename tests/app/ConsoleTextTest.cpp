#include "CommandLine.h"
#include "PortFailureText.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using Action = CommandLine::Action;

TEST(CommandLineTest, OwnOptionsQtOptionsAndEverythingElse) {
    const std::string seeHelp = "; see 'qal-terminal --help'\n";
    const struct {
        std::vector<std::string> arguments;
        Action action;
        std::string error;
    } cases[] = {
        {{}, Action::Run, ""},
        {{"--help"}, Action::Help, ""},
        {{"-h"}, Action::Help, ""},
        {{"--version"}, Action::Version, ""},
        {{"--version", "--help"}, Action::Help, ""},
        {{"-platform", "offscreen"}, Action::Run, ""},
        {{"--platform=offscreen", "-reverse", "-style", "fusion"}, Action::Run, ""},
        {{"-platform", "offscreen", "--version"}, Action::Version, ""},
        {{"--foo"}, Action::Refuse, "qal-terminal: unknown option '--foo'" + seeHelp},
        {{"-help"}, Action::Refuse, "qal-terminal: unknown option '-help'" + seeHelp},
        {{"-style"}, Action::Refuse, "qal-terminal: option '-style' needs a value" + seeHelp},
        {{"COM3"}, Action::Refuse, "qal-terminal: unexpected argument 'COM3'" + seeHelp},
        {{"-"}, Action::Refuse, "qal-terminal: unexpected argument '-'" + seeHelp},
        {{"--frob", "--help"}, Action::Refuse, "qal-terminal: unknown option '--frob'" + seeHelp},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        const CommandLine parsed = ParseCommandLine(c.arguments);
        EXPECT_EQ(parsed.action, c.action);
        EXPECT_EQ(parsed.error, c.error);
    }
}

TEST(CommandLineTest, HelpNamesTheSettingsFileAndVersionTheNumber) {
    const std::string help =
        HelpText("/home/jan/.config/qal-terminal/config.cfg", false, Language::English);
    EXPECT_EQ(help.rfind("Usage: qal-terminal [OPTION]...\n", 0), 0u) << help;
    EXPECT_NE(help.find("Settings file: /home/jan/.config/qal-terminal/config.cfg (made when"),
              std::string::npos);
    EXPECT_EQ(HelpText("/p/config.cfg", true, Language::English).find("(made when"),
              std::string::npos);
    EXPECT_EQ(VersionText(), "qal-terminal 7\n");
#if !defined(_WIN32)
    // The folder of the links and the example command, with every separator in place.
    for (const char* line :
         {"\nPort COMn is the device that a link named COMn in /home/jan/.config/qal-terminal/ "
          "points to,\n",
          "\n  ln -s /dev/serial/by-id/<adapter> /home/jan/.config/qal-terminal/COM3\n"}) {
        EXPECT_NE(help.find(line), std::string::npos) << line << "\nin:\n" << help;
    }
#endif
}

TEST(CommandLineTest, LanguageForOneRun) {
    const std::string seeHelp = "; see 'qal-terminal --help'\n";
    const struct {
        std::vector<std::string> arguments;
        Action action;
        std::optional<Language> language;
        std::string error;
    } cases[] = {
        {{}, Action::Run, std::nullopt, ""},
        {{"--language", "en"}, Action::Run, Language::English, ""},
        {{"--language=pl", "-platform", "offscreen"}, Action::Run, Language::Polish, ""},
        {{"--language", "pl", "--language", "en"}, Action::Run, Language::English, ""},
        // Help speaks the language named anywhere, also after it or beside a fault.
        {{"--help", "--language", "en"}, Action::Help, Language::English, ""},
        {{"--language=en", "-h", "--frob"}, Action::Help, Language::English, ""},
        {{"--help", "--language", "de"}, Action::Help, std::nullopt, ""},
        {{"--language", "de"},
         Action::Refuse,
         std::nullopt,
         "qal-terminal: option '--language' takes pl or en, not 'de'" + seeHelp},
        {{"--language="},
         Action::Refuse,
         std::nullopt,
         "qal-terminal: option '--language' takes pl or en, not ''" + seeHelp},
        {{"--language"},
         Action::Refuse,
         std::nullopt,
         "qal-terminal: option '--language' needs a value" + seeHelp},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        const CommandLine parsed = ParseCommandLine(c.arguments);
        EXPECT_EQ(parsed.action, c.action);
        EXPECT_EQ(parsed.language, c.language);
        EXPECT_EQ(parsed.error, c.error);
    }
}

TEST(CommandLineTest, HelpInPolishSaysTheSameWithTheSamePaths) {
    const std::string file = "/home/jan/.config/qal-terminal/config.cfg";
    const std::string polish = HelpText(file, false, Language::Polish);
    EXPECT_EQ(polish.rfind("Użycie: qal-terminal [OPCJA]...\n", 0), 0u) << polish;
    EXPECT_NE(polish.find("Plik ustawień: " + file + " (powstanie przy"), std::string::npos);
    EXPECT_EQ(HelpText(file, true, Language::Polish).find("(powstanie"), std::string::npos);
    // Every option, and every path the English help names, in both.
    const std::string english = HelpText(file, false, Language::English);
    for (const char* word : {"--help", "--version", "--language pl|en", "-platform",
                             "Język / Language", "config.cfg"}) {
        EXPECT_NE(polish.find(word), std::string::npos) << word;
        EXPECT_NE(english.find(word), std::string::npos) << word;
    }
#if !defined(_WIN32)
    EXPECT_NE(
        polish.find("  ln -s /dev/serial/by-id/<adapter> /home/jan/.config/qal-terminal/COM3\n"),
        std::string::npos)
        << polish;
#endif
}

TEST(PortFailureTextTest, OneLineWithTheReasonAndAHintForPermission) {
    const std::string hint = "qal-terminal: serial ports need membership of the 'dialout' group: "
                             "sudo usermod -aG dialout $USER, then log out and in again\n";
    const struct {
        PortFailure failure;
        std::string expected;
    } cases[] = {
        {{3, "/dev/ttyUSB0", "Permission denied", true, false},
         "qal-terminal: COM3 (/dev/ttyUSB0): Permission denied\n" + hint},
        {{1, "/dev/pts/4", "Input/output error", false, true},
         "qal-terminal: COM1 (/dev/pts/4): connection lost: Input/output error\n"},
        {{2, "COM2", "Access is denied", false, false}, "qal-terminal: COM2: Access is denied\n"},
        {{0, "", "", false, false}, "qal-terminal: COM0: cannot be used\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PortFailureLines("qal-terminal", c.failure), c.expected);
    }
}

} // namespace
