#include "DialogTemplate.h"
#include "ProgramLanguage.h"
#include "ProgramTexts.h"
#include "ProgramTranslator.h"
#include "UiText.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace {

class ProgramTranslationTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(translator.Load(ProgramTranslationFile(), ProgramTexts()));
    }
    // The translation, or "(none)" where nothing of the text is the program's.
    std::string English(const std::string& polish) const {
        const QString english = translator.Translate(QString::fromStdString(polish));
        return english.isNull() ? "(none)" : english.toStdString();
    }

    CProgramTranslator translator;
};

TEST_F(ProgramTranslationTest, WholeTextsLinesAndTextsWithValues) {
    const struct {
        const char* polish;
        const char* english;
    } cases[] = {
        {"Połączono", "Connected"},
        {"Plik konfiguracyjny '/tmp/a b/config.cfg' odczytano",
         "Settings file '/tmp/a b/config.cfg' read"},
        // Line by line, each line break kept as it is.
        {"Nie można korzystać z wybranego portu.\r\nRozłączono.",
         "The chosen port cannot be used.\r\nDisconnected."},
        {"Nr odczytu: 17\r\nAwaria urządzenia !\r\nWyjście 1-3 : 1 0 1\r\n",
         "Reading no.: 17\r\nDevice failure !\r\nOutputs 1-3 : 1 0 1\r\n"},
        {"----\r\nWersja terminala : \r\nTerminal QAL Mar 26 2008, wersja   7",
         "----\r\nTerminal version : \r\nTerminal QAL Mar 26 2008, version   7"},
        {"Czas w urządzeniu: 2031.02.03  4:05.06 . Czy aktualizować czas ?",
         "Device clock: 2031.02.03  4:05.06 . Set it to this computer's time?"},
        {"Zapytania 3, odpowiedzi 2, brak odpowiedzi 1, teksty urządzenia 0, błędne sumy 0, bajty "
         "szumu 5; czas odpowiedzi min 4.0 / śr 4.5 / 95% 5.0 / max 5.0 ms",
         "Requests 3, answers 2, no answer 1, device texts 0, bad checksums 0, noise bytes 5; "
         "answer time min 4.0 / mean 4.5 / 95% 5.0 / max 5.0 ms"},
        // Names in the values of the program's own sentences are translated too...
        {"Zapisano i sprawdzono: konfiguracja QAL, konfiguracja wyjść",
         "Written and verified: QAL configuration, output configuration"},
        {"Pole „Wyjście 2: aktywne” rekordu „konfiguracja wyjść” nie zgadza się z bajtami rekordu "
         "(tak): plik zmieniono ręcznie. Nie użyto go.",
         "The field “Output 2: active” of the record “output configuration” does not agree with "
         "the record's bytes (yes): the file was changed by hand. It was not used."},
        {"Brak odpowiedzi na Odczyt danych alarmów w 500 ms",
         "No answer to Read alarm data in 500 ms"},
        // A file that cannot be used, and why: the reason is translated with the sentence.
        {"Nie można zapisać pliku '/home/jan/ustawienia.json': Brak uprawnień",
         "Cannot write the file '/home/jan/ustawienia.json': Permission denied"},
        {"Nie można odczytać pliku '/tmp/fifo': To nie jest zwykły plik",
         "Cannot read the file '/tmp/fifo': Not a regular file"},
        {"Nie można zapisywać odczytów do pliku 'C:\\odczyty.csv': Brak miejsca na dysku.",
         "Cannot record readings to the file 'C:\\odczyty.csv': No space left on the disk."},
        // A reason the program has no words for is the system's, shown as it is.
        {"Nie można zapisać pliku '/x': Stale file handle",
         "Cannot write the file '/x': Stale file handle"},
        {"Zapis obejmie wartości, których okna ustawień nie przyjmują:\r\nZakres [m/s]: 100 "
         "(dozwolone od 5 do 20)\r\n\r\nZapisać je mimo to?",
         "The write includes values that the settings dialogs do not accept:\r\nRange [m/s]: "
         "100 (allowed from 5 to 20)\r\n\r\nWrite them anyway?"},
        // ...but a device's text in a value stays as the device sent it, whatever it says.
        {"Odczyt wersji, wersja 3", "Odczyt wersji, version 3"},
        {"Odpowiada: Połączono, wersja 3 (19200 bit/s)",
         "Answers: Połączono, version 3 (19200 bit/s)"},
        // The more telling of two patterns that match.
        {"Odpowiada: QAL-1P, wersja 3 (9600 bit/s)", "Answers: QAL-1P, version 3 (9600 bit/s)"},
        {"/dev/ttyUSB0: FTDI FT232R; dowiązanie /home/jan/COM3",
         "/dev/ttyUSB0: FTDI FT232R; link /home/jan/COM3"},
        {"/dev/ttyS0: brak urządzenia", "/dev/ttyS0: no device"},
        // Not the program's: no translation, so the text is shown as it is.
        {"QAL-1P symulator", "(none)"},
        {"Plik konfiguracyjny '' odczytano", "(none)"},
        {"", "(none)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(English(c.polish), c.english) << c.polish;
    }
}

TEST_F(ProgramTranslationTest, AnswersOnlyForTheProgramsContext) {
    EXPECT_EQ(translator.translate(kProgramTextContext, "Połączono"), QStringLiteral("Connected"));
    EXPECT_TRUE(translator.translate("QPlatformTheme", "&Yes").isNull());
    EXPECT_TRUE(translator.translate("Names", "Połączono").isNull());
    EXPECT_FALSE(translator.isEmpty());
}

// The placeholders of a text, as a set of their numbers.
std::set<int> Placeholders(const QString& text) {
    std::set<int> numbers;
    static const QRegularExpression placeholder(QStringLiteral("%([1-9][0-9]?)"));
    for (auto it = placeholder.globalMatch(text); it.hasNext();) {
        numbers.insert(it.next().captured(1).toInt());
    }
    return numbers;
}

TEST_F(ProgramTranslationTest, EveryTextOfTheCatalogueHasOneTranslationWithTheSameValues) {
    std::map<std::string, std::string> contextOf;
    for (const ProgramText& text : ProgramTexts()) {
        SCOPED_TRACE(text.text);
        const auto [where, first] = contextOf.emplace(text.text, text.context);
        EXPECT_TRUE(first) << "also in " << where->second
                           << ": a text is found by its Polish alone";
        const QString polish = QString::fromUtf8(text.text);
        const QString english = translator.Translate(polish);
        ASSERT_FALSE(english.isEmpty()) << "no English in the .ts";
        EXPECT_EQ(Placeholders(english), Placeholders(polish));
    }
}

// Texts of the templates that every language writes alike.
const std::set<std::string> kSameInEveryLanguage = {
    "OK",
    "QAL",
    "128",
    "COM1",
    "COM2",
    "COM3",
    "COM4",
    "COM5",
    "COM6",
    "min :",
    "max :",
    "Polski",
    "English",
    "Język / Language",
    // The original's English, kept as it is.
    "About ZB",
    "ZB Version 1.0",
};

TEST_F(ProgramTranslationTest, EveryTextOfEveryTemplateIsTranslated) {
    for (const DialogTemplate* dialog : AllDialogTemplates()) {
        std::vector<const char*> texts = {dialog->caption};
        for (const ControlTemplate& control : dialog->controls) {
            texts.push_back(control.caption);
            if (control.accessibleName != nullptr) {
                texts.push_back(control.accessibleName);
            }
        }
        for (const char* text : texts) {
            if (*text == '\0' || kSameInEveryLanguage.contains(text)) {
                continue;
            }
            EXPECT_NE(English(text), "(none)") << "template " << dialog->id << ": " << text;
        }
    }
}

TEST(ProgramLanguage, EnglishIsAskedForThroughTheApplicationAndGoesWithTheObject) {
    EXPECT_EQ(UiText("Połączono"), QStringLiteral("Połączono")) << "Polish without a translation";
    {
        const CProgramLanguage english(Language::English, {});
        EXPECT_TRUE(english.Problem().isEmpty()) << english.Problem().toStdString();
        EXPECT_EQ(UiText("Połączono"), QStringLiteral("Connected"));
        EXPECT_EQ(UiTextUtf8("Nr odczytu: 5"), "Reading no.: 5");
        // A text the program does not know keeps its very bytes, also those that are no UTF-8.
        EXPECT_EQ(UiTextUtf8("/home/\xE9t\xE9/config.cfg"), "/home/\xE9t\xE9/config.cfg");
    }
    EXPECT_EQ(UiText("Połączono"), QStringLiteral("Połączono"));
}

} // namespace
