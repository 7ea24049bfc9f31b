#include "TextPattern.h"
#include "Language.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using Values = std::vector<std::string>;

struct MatchCase {
    const char* pattern;
    const char* text;
    std::optional<Values> values;
};

TEST(TextPattern, MatchesTextsMadeFromThePatternAndNothingElse) {
    const MatchCase cases[] = {
        {"Plik '%1' odczytano", "Plik '/a b/config.cfg' odczytano", Values{"/a b/config.cfg"}},
        {"Plik '%1' odczytano", "Plik '' odczytano", std::nullopt}, // values are never empty
        {"Plik '%1' odczytano", "Plik 'x' zapisano", std::nullopt},
        {"Plik '%1' odczytano", "Plik 'x' odczytano.", std::nullopt}, // the whole text
        {"Otwieranie portu COM%1 , %2b/s...", "Otwieranie portu COM3 , 19200b/s...",
         Values{"3", "19200"}},
        // A value that holds the text after it: the first end that lets the rest match.
        {"%1, wersja %2", "QAL, wersja 1, wersja 7", Values{"QAL", "1, wersja 7"}},
        {"Nr odczytu: %1", "Nr odczytu: 65535", Values{"65535"}},
        {"%2 z %1", "3 z 39", Values{"39", "3"}}, // numbered, not in order
        {"%1 i %1", "a i a", Values{"a"}},        // the same value twice
        {"%1 i %1", "a i b", std::nullopt},
        {"95% %1 ms", "95% 4.0 ms", Values{"4.0"}}, // '%' without a digit is plain text
        {"Połączono", "Połączono", Values{}},
        {"Połączono", "Rozłączono", std::nullopt},
        {"%1%2", "ab", Values{"a", "b"}}, // side by side: the first as short as it can be
    };
    for (const MatchCase& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " | " + c.text);
        EXPECT_EQ(CTextPattern(c.pattern).Match(c.text), c.values);
    }
}

TEST(TextPattern, PrefixAndPlaceholdersAreKnownWithoutMatching) {
    EXPECT_EQ(CTextPattern("Nr odczytu: %1").Prefix(), "Nr odczytu: ");
    EXPECT_EQ(CTextPattern("%1, wersja %2").Prefix(), "");
    EXPECT_TRUE(CTextPattern("a %9").HasPlaceholders());
    EXPECT_FALSE(CTextPattern("95% 5%").HasPlaceholders());
    EXPECT_FALSE(CTextPattern("%0 %").HasPlaceholders());
}

TEST(TextPattern, FillPutsValuesInAsTheyAre) {
    EXPECT_EQ(FillPattern("Settings file '%1' read", {"C:\\a%1b"}),
              "Settings file 'C:\\a%1b' read");
    EXPECT_EQ(FillPattern("%2 of %1 bytes", {"39", "3"}), "3 of 39 bytes");
    EXPECT_EQ(FillPattern("%1 and %3", {"x"}), "x and %3"); // no value: stays
    EXPECT_EQ(FillPattern("100%", {"x"}), "100%");
    // A text matched in one language and filled into another keeps every value.
    const auto values =
        CTextPattern("Za krótka odpowiedź: %1 z %2").Match("Za krótka odpowiedź: 3 z 39");
    ASSERT_TRUE(values);
    EXPECT_EQ(FillPattern("Answer too short: %1 of %2", *values), "Answer too short: 3 of 39");
}

TEST(LanguageCodes, RoundTripAndRefuseOthers) {
    for (const Language language : {Language::Polish, Language::English}) {
        EXPECT_EQ(LanguageFromCode(LanguageCode(language)), language);
    }
    for (const char* other : {"", "PL", "En", "de", "pl ", "english"}) {
        EXPECT_EQ(LanguageFromCode(other), std::nullopt) << other;
    }
}

} // namespace
