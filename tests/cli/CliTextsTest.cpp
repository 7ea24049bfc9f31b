#include "CliTexts.h"
#include "CliArguments.h"
#include "CliCommands.h"
#include "ProgramTranslator.h"

#include <QRegularExpression>
#include <QString>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::set<int> Placeholders(const QString& text) {
    std::set<int> numbers;
    static const QRegularExpression placeholder(QStringLiteral("%([1-9][0-9]?)"));
    for (auto it = placeholder.globalMatch(text); it.hasNext();) {
        numbers.insert(it.next().captured(1).toInt());
    }
    return numbers;
}

class CliTexts : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(translator.Load(QStringLiteral(QAL_CLI_TRANSLATION), ::CliTexts()));
    }
    CProgramTranslator translator;
};

TEST_F(CliTexts, EveryTextHasOnePolishTranslationWithTheSameValues) {
    std::set<std::string> seen;
    for (const ProgramText& text : ::CliTexts()) {
        SCOPED_TRACE(text.text);
        EXPECT_TRUE(seen.insert(text.text).second) << "listed twice";
        const QString english = QString::fromUtf8(text.text);
        const QString polish = translator.Translate(english);
        ASSERT_FALSE(polish.isEmpty()) << "no Polish in the .ts";
        EXPECT_EQ(Placeholders(polish), Placeholders(english));
    }
}

// The usage is made from the table of commands and the options: a line changed there without
// its entry here would stay English in a Polish help.
TEST_F(CliTexts, EveryLineOfTheUsageIsTranslated) {
    std::vector<CliCommandShape> shapes;
    for (const CliCommand& command : CliCommands()) {
        shapes.push_back(command.shape);
    }
    std::istringstream usage(CliUsage(shapes));
    int lines = 0;
    for (std::string line; std::getline(usage, line);) {
        if (!line.empty()) {
            ++lines;
            EXPECT_FALSE(translator.Translate(QString::fromStdString(line)).isNull()) << line;
        }
    }
    EXPECT_GT(lines, 20);
}

// Messages made of values: the Polish is found through the pattern, with the values as they were.
TEST_F(CliTexts, MessagesWithValuesKeepTheirValues) {
    const struct {
        const char* english;
        const char* polish;
    } cases[] = {
        {"--baud 7: not a speed the port can take (such as 9600, 19200 or 115200)",
         "--baud 7: port nie przyjmie takiej prędkości (np. 9600, 19200 lub 115200)"},
        {"the answer to the clock request from COM3 at address 31 is too short: 1 byte",
         "odpowiedź na zapytanie o zegar od COM3 pod adresem 31 jest za krótka (bajtów: 1)"},
        {"COM4 [FTDI FT232R, serial A5]: busy - open in minicom (pid 812), left alone",
         "COM4 [FTDI FT232R, serial A5]: zajęty - otwarty przez minicom (pid 812), pominięty"},
        {"the outputs record in the file has 3.5 bytes instead of 12",
         "rekord outputs w pliku ma 3.5 bajtów zamiast 12"},
        {"interrupted", "przerwano"},
        // Not qal-cli's: left as it is.
        {"device text: Połączono", "tekst urządzenia: Połączono"},
        {"QAL-1P symulator", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(translator.Translate(QString::fromUtf8(c.english)).toStdString(), c.polish)
            << c.english;
    }
}

} // namespace
