#include "ThresholdText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <string>

namespace {

TEST(ThresholdText, ValueReadsLikeAtofInTheCLocale) {
    constexpr int kMax = std::numeric_limits<int>::max();
    constexpr int kMin = std::numeric_limits<int>::min();
    const struct {
        const char* text;
        int tenths;
    } cases[] = {
        {"5.5", 55},   {"1.19", 11}, {"-1.19", -11},  {"", 0},         {"-", 0},
        {"1.2.3", 12}, {" 5.5", 55}, {"\t+2", 20},    {"+-2", 0},      {".5", 5},
        {"-.5", -5},   {"5.", 50},   {"-20.0", -200}, {"6554", 65540}, {"5,5", 50},
        {"1e1", 100},  {"abc", 0},   {"--5", 0},      {"1e400", kMax}, {"-1e400", kMin},
        {"1e-400", 0}, {"nan", 0},   {"inf", kMax},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ThresholdValue(c.text), c.tenths) << '"' << c.text << '"';
    }
}

TEST(ThresholdText, EveryDeviceValueSurvivesShowingAndReadingBack) {
    EXPECT_EQ(FormatThreshold(55), "5.5");
    EXPECT_EQ(FormatThreshold(-200), "-20.0");
    EXPECT_EQ(FormatThreshold(5), "0.5");
    EXPECT_EQ(FormatThreshold(0), "0.0");
    EXPECT_EQ(FormatThreshold(-3), "-0.3");
    EXPECT_EQ(FormatThreshold(-1000), "-100.0");
    for (int tenths = std::numeric_limits<std::int16_t>::min();
         tenths <= std::numeric_limits<std::int16_t>::max(); ++tenths) {
        const std::string text = FormatThreshold(static_cast<std::int16_t>(tenths));
        ASSERT_EQ(ThresholdValue(text), tenths) << text;
    }
}

TEST(ThresholdText, PointIsTheSeparatorWhateverTheUserLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    const char* commaLocale = nullptr;
    for (const char* name : {"pl_PL.UTF-8", "pl_PL.utf8", "de_DE.UTF-8", "de_DE.utf8"}) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            commaLocale = name;
            break;
        }
    }
    if (commaLocale == nullptr) {
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    }
    const std::string formatted = FormatThreshold(55);
    const int value = ThresholdValue("1.19");
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(formatted, "5.5") << commaLocale;
    EXPECT_EQ(value, 11) << commaLocale;
}

TEST(ThresholdText, ProblemsInTheOrderTheyAreChecked) {
    const std::string range = "Wartosc powinna byc z zakresu od ";
    const struct {
        std::int16_t lo, hi;
        const char* text;
        const char* problem; // null: passes
    } cases[] = {
        {-200, 200, "5.5", nullptr},
        {-200, 200, "-20.0", nullptr},
        {-200, 200, "", nullptr},
        {55, 200, "5.5", nullptr},
        {-200, 200, "5,5", "Niedozwolone znaki"},
        {-200, 200, " 5", "Niedozwolone znaki"},
        {-200, 200, "5ą", "Niedozwolone znaki"},
        {-200, 200, "9,9e9", "Niedozwolone znaki"}, // characters before range
        {-200, 200, "-20.1", "-20.0 do 20.0"},
        {55, 200, "5.4", "5.5 do 20.0"},
        {-35, 200, "-4.0", "-3.5 do 20.0"},
        {-5, 200, "-0.6", "-0.5 do 20.0"},
        {-200, 200, "6554", "-20.0 do 20.0"},
        {-200, 200, "-100.0", "-20.0 do 20.0"},
    };
    for (const auto& c : cases) {
        const auto problem = ThresholdProblem(c.lo, c.hi, ThresholdValue(c.text), c.text);
        if (c.problem == nullptr) {
            EXPECT_FALSE(problem) << c.text << ": " << problem.value_or("");
        } else if (std::string(c.problem) == "Niedozwolone znaki") {
            EXPECT_EQ(problem, c.problem) << c.text;
        } else {
            EXPECT_EQ(problem, range + c.problem) << c.text;
        }
    }
}

} // namespace
