#include "DataExchangeRules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr const char* kInteger = "Please enter an integer.";
constexpr const char* kPositive = "Please enter a positive integer.";
constexpr const char* kByte = "Please enter an integer between 0 and 255.";
constexpr std::nullopt_t kRefused = std::nullopt;

struct Case {
    std::string text;
    std::optional<long long> value; // empty: the field is refused
};

std::string Blanks(std::size_t count) {
    return std::string(count, ' ');
}

// Checks every case against one parser: the value when accepted, the field's message otherwise.
template <typename Parse>
void ExpectFields(Parse parse, const std::vector<Case>& cases, const std::string& message) {
    for (const Case& c : cases) {
        SCOPED_TRACE("text \"" + c.text + "\"");
        const auto field = parse(c.text);
        if (c.value) {
            ASSERT_TRUE(field.value.has_value()) << field.message;
            EXPECT_EQ(static_cast<long long>(*field.value), *c.value);
            EXPECT_EQ(field.message, "");
        } else {
            EXPECT_FALSE(field.value.has_value()) << +field.value.value_or(0);
            EXPECT_EQ(field.message, message);
        }
    }
}

// Syntax shared by every integer field, signed or not.
// clang-format off
const std::vector<Case> kCommonSyntax = {
    {"12", 12}, {"\t 12\t ", 12}, {"+12", 12}, {"007", 7}, {"0", 0}, {"  00 ", 0},
    // Zero only when a 0 is written.
    {"", kRefused}, {" \t ", kRefused}, {"+", kRefused}, {"+0", kRefused},
    // Nothing but blanks and tabs around the number.
    {"12a", kRefused}, {"a12", kRefused}, {"1 2", kRefused}, {"++1", kRefused},
    {"0x10", kRefused}, {"1.5", kRefused}, {"\n12", kRefused}, {"12\xC2\xA0", kRefused},
    {"\xEF\xBC\x91\xEF\xBC\x92", kRefused}, // full-width digits
    {"\xFF" "12", kRefused},
    // The first 31 characters are read; blanks may follow them.
    {Blanks(29) + "12", 12}, {"12" + Blanks(40), 12}, {std::string(31, '0'), 0},
    // A number cut by the limit would read as a different one: refused instead.
    {Blanks(30) + "12", kRefused}, {std::string(31, '0') + "1", kRefused},
    {"12" + Blanks(29) + "x", kRefused},
};
// clang-format on

} // namespace

TEST(DataExchangeRules, IntegerSyntaxIsTheSameForEveryField) {
    ExpectFields(ddx::ParseInt, kCommonSyntax, kInteger);
    ExpectFields(ddx::ParseShort, kCommonSyntax, kInteger);
    ExpectFields(ddx::ParseByte, kCommonSyntax, kByte);
    ExpectFields(ddx::ParseUShort, kCommonSyntax, kPositive);
    ExpectFields(ddx::ParseUInt, kCommonSyntax, kPositive);
}

TEST(DataExchangeRules, OnlySignedFieldsTakeAMinusAndNeverWithZero) {
    const std::vector<Case> cases = {{"-12", -12},      {" -7 ", -7},     {"-0", kRefused},
                                     {"-00", kRefused}, {"-", kRefused},  {"- 1", kRefused},
                                     {"--1", kRefused}, {"+-1", kRefused}};
    ExpectFields(ddx::ParseInt, cases, kInteger);
    ExpectFields(ddx::ParseShort, cases, kInteger);

    const std::vector<Case> minus = {{"-1", kRefused}, {"-0", kRefused}, {" -5 ", kRefused}};
    ExpectFields(ddx::ParseByte, minus, kByte);
    ExpectFields(ddx::ParseUShort, minus, kPositive);
    ExpectFields(ddx::ParseUInt, minus, kPositive);
}

TEST(DataExchangeRules, EachFieldKeepsToItsType) {
    const std::string huge = "99999999999999999999999999999";
    ExpectFields(ddx::ParseInt,
                 {{"2147483647", 2147483647LL},
                  {"-2147483648", -2147483648LL},
                  {"2147483648", kRefused},
                  {"-2147483649", kRefused},
                  {"4294967296", kRefused},
                  {huge, kRefused}},
                 kInteger);
    ExpectFields(ddx::ParseShort,
                 {{"32767", 32767}, {"-32768", -32768}, {"32768", kRefused}, {"-32769", kRefused}},
                 kInteger);
    ExpectFields(ddx::ParseByte, {{"+255", 255}, {"256", kRefused}, {"300", kRefused}}, kByte);
    ExpectFields(ddx::ParseUShort,
                 {{"65535", 65535}, {"65536", kRefused}, {"4294967297", kRefused}}, kPositive);
    ExpectFields(ddx::ParseUInt,
                 {{"4294967295", 4294967295LL},
                  {"4294967296", kRefused},
                  {"18446744073709551617", kRefused},
                  {huge, kRefused}},
                 kPositive);
}

TEST(DataExchangeRules, RangeMessageNamesBothBounds) {
    EXPECT_EQ(ddx::CheckRange(5, 5, 20), std::nullopt);
    EXPECT_EQ(ddx::CheckRange(20, 5, 20), std::nullopt);
    EXPECT_EQ(ddx::CheckRange(0, 5, 20), "Please enter an integer between 5 and 20.");
    EXPECT_EQ(ddx::CheckRange(21, 5, 20), "Please enter an integer between 5 and 20.");
    EXPECT_EQ(ddx::CheckRange(-201, -200, 200), "Please enter an integer between -200 and 200.");
    EXPECT_EQ(ddx::CheckRange(65001, 1, 65000), "Please enter an integer between 1 and 65000.");
}

TEST(DataExchangeRules, CharactersAreCountedNotBytes) {
    const struct {
        std::string text;
        int count;
    } cases[] = {
        {"", 0},
        {"QAL 1", 5},
        {"za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87", 6}, // zażółć
        {"\xE2\x82\xAC", 1},                       // euro sign
        {"\xF0\x9F\x98\x80", 1},                   // outside the basic plane
        // Each byte that does not start a well-formed character counts as one.
        {"\xFF", 1},
        {"\x80\x80", 2},
        {"\xE2\x82"
         "A",
         3},
        {"\xF0\x9F\x98"
         "A",
         4},
        {"\xC0\xAF", 2},         // overlong
        {"\xED\xA0\x80", 3},     // surrogate
        {"\xF4\x90\x80\x80", 4}, // above U+10FFFF
        {"a\xC5"
         "b\xC5\xBC",
         4},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ddx::CharacterCount(c.text), c.count) << testing::PrintToString(c.text);
    }
}

TEST(DataExchangeRules, TextLimitCountsCharacters) {
    std::string polish15; // 15 characters in 30 bytes
    for (int i = 0; i < 3; ++i) {
        polish15 += "\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87\xC4\x99";
    }
    EXPECT_EQ(ddx::CheckMaxChars(polish15, 15), std::nullopt);
    EXPECT_EQ(ddx::CheckMaxChars(polish15 + "a", 15), "Please enter no more than 15 characters.");
    EXPECT_EQ(ddx::CheckMaxChars("1234", 4), std::nullopt);
    EXPECT_EQ(ddx::CheckMaxChars("10000", 4), "Please enter no more than 4 characters.");
}
