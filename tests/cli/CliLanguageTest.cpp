#include "CliArguments.h"
#include "ConfigFile.h"
#include "LanguageFile.h"
#include "SimProcess.h"
#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

TEST(CliLanguage, OptionNamesTheLanguageAlsoForHelp) {
    const std::vector<CliCommandShape> commands = {{"info", "", "versions and one reading"}};
    const struct {
        std::vector<std::string> arguments;
        std::optional<Language> language;
        std::string error;
    } cases[] = {
        {{"info"}, std::nullopt, ""},
        {{"--language", "en", "info"}, Language::English, ""},
        {{"info", "--language", "pl"}, Language::Polish, ""},
        {{"--help", "--language", "en"}, Language::English, ""},
        {{"--language", "en", "--help", "--language", "xx"}, Language::English, ""},
        {{"--language", "de", "info"}, std::nullopt, "--language takes pl or en, not de"},
        {{"info", "--language"}, std::nullopt, "--language needs a value"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        const CliArguments parsed = ParseCliArguments(c.arguments, commands);
        EXPECT_EQ(parsed.language, c.language);
        EXPECT_EQ(parsed.error, c.error);
    }
    EXPECT_NE(CliUsage(commands).find("--language pl|en"), std::string::npos);
}

// qal-cli speaks as the terminal does: Polish unless its language file or --language says
// English. JSON stays as it is.
class CliLanguageProcess : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(m_dir.Path().empty());
        ASSERT_EQ(SaveConfigFile(m_dir.Join("config.cfg"), ConnectionSettings{1, 19200, 31}),
                  ConfigSaveResult::Written);
    }
    struct Result {
        int status;
        std::string out;
        std::string errors;
    };
    Result Run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--settings", m_dir.Path()});
        CSimProcess cli(QAL_CLI_PATH, args);
        const int status = cli.Wait(std::chrono::seconds(10));
        return {status, cli.Output(), cli.Errors()};
    }
    void ChooseInFile(Language language) {
        std::error_code error;
        ASSERT_TRUE(SaveLanguageFile(m_dir.Path() + "/", language, error)) << error.message();
    }

    CTempDirectory m_dir{"qal-cli-language"};
    CSimProcess m_device{{"--link", m_dir.Path(), "--port", "1", "--model-marker", "never",
                          "--speed", "12.5", "--text", "Połączono", "--text-period", "100"}};
};

TEST_F(CliLanguageProcess, PolishUnlessEnglishIsChosenInTheFileOrOnTheCommandLine) {
    ASSERT_FALSE(m_device.FirstLine().empty());
    const struct {
        std::optional<Language> inFile;
        std::vector<std::string> args;
        std::vector<std::string> inOutput; // in standard output, in order of the cases' texts
        std::string inErrors;
    } cases[] = {
        {std::nullopt,
         {"--help"},
         {"Użycie: qal-cli", "  --language pl|en  język komunikatów"},
         ""},
        {std::nullopt, {"info"}, {"prędkość: 12.5 m/s\n", "stan:     sprawne\n"}, ""},
        {Language::English, {"info"}, {"speed:    12.5 m/s\n", "device:   in order\n"}, ""},
        {Language::English, {"--language", "pl", "info"}, {"wersja:   QAL-1P symulator"}, ""},
        {Language::Polish, {"--language", "en", "--help"}, {"Usage: qal-cli"}, ""},
        {std::nullopt, {"frob"}, {}, "qal-cli: nieznane polecenie frob\n"},
        {Language::English, {"frob"}, {}, "qal-cli: unknown command frob\n"},
        {std::nullopt, {"--port", "2", "info"}, {}, "qal-cli: nie można otworzyć COM2"},
        {std::nullopt,
         {"--baud", "7", "info"},
         {},
         "qal-cli: --baud 7: port nie przyjmie takiej prędkości (np. 9600, 19200 lub 115200)\n"},
        {std::nullopt,
         {"--help"},
         {"               [--settings DIR] [--json] POLECENIE [--] [PLIK]\n",
          "130 zatrzymano przez Ctrl+C"},
         ""},
        // A message made of parts: each part in the language, the file's name as it is.
        {std::nullopt,
         {"diff", m_dir.Join("config.cfg")},
         {},
         "/config.cfg: to nie jest plik ustawień: niepoprawny JSON"},
        {Language::English,
         {"diff", m_dir.Join("config.cfg")},
         {},
         "/config.cfg: not a settings file: not valid JSON"},
        // A device's text stays as the device sent it, whatever its words.
        {std::nullopt, {"watch", "--count", "3"}, {"  wyjścia "}, "tekst urządzenia: Połączono\n"},
        {Language::English, {"watch", "--count", "3"}, {"  outputs "}, "device text: Połączono\n"},
        // JSON for programs: the same in every language.
        {std::nullopt, {"--json", "info"}, {"\"deviceInOrder\":true"}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        std::filesystem::remove(m_dir.Join(kLanguageFileName));
        if (c.inFile) {
            ChooseInFile(*c.inFile);
        }
        const Result result = Run(c.args);
        for (const std::string& text : c.inOutput) {
            EXPECT_NE(result.out.find(text), std::string::npos) << result.out;
        }
        EXPECT_NE(result.errors.find(c.inErrors), std::string::npos) << result.errors;
    }
}

} // namespace
