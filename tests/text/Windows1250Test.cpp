#include "Windows1250.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Windows1250, PolishTextEncodesToItsBytes) {
    std::string error;
    EXPECT_EQ(EncodeWindows1250("Zażółć gęślą jaźń", error),
              "Za\xBF\xF3\xB3\xE6 g\xEA\x9C\x6C\xB9 ja\x9F\xF1");
    EXPECT_EQ(EncodeWindows1250("ĄĆĘŁŃÓŚŹŻ", error), "\xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF");
    EXPECT_EQ(EncodeWindows1250("„cytat” – 5 €", error), "\x84\x63ytat\x94 \x96 5 \x80");
    EXPECT_EQ(DecodeWindows1250("Za\xBF\xF3\xB3\xE6 g\xEA\x9C\x6C\xB9 ja\x9F\xF1"),
              "Zażółć gęślą jaźń");
}

TEST(Windows1250, TextTheCodePageCannotHoldIsRefused) {
    std::string error;
    EXPECT_FALSE(EncodeWindows1250("Mañana", error)); // ñ is not in Windows-1250
    EXPECT_EQ(error, "the character \"ñ\" (U+00F1) has no Windows-1250 code");
    EXPECT_FALSE(EncodeWindows1250("Жук", error));
    EXPECT_FALSE(EncodeWindows1250("wiatr 💨", error));
    EXPECT_FALSE(EncodeWindows1250("\xC0\xAF", error)); // overlong '/'
    EXPECT_EQ(error, "the text is not valid UTF-8 (at byte 1)");
    EXPECT_FALSE(EncodeWindows1250("ab\xE2\x82", error));   // cut short
    EXPECT_FALSE(EncodeWindows1250("\xED\xA0\x80", error)); // a surrogate
    EXPECT_FALSE(EncodeWindows1250("\x80", error));
    EXPECT_FALSE(IsWindows1250Character(U'ñ'));
    EXPECT_TRUE(IsWindows1250Character(U'ł'));
}

// Whatever a device sends comes back byte for byte when it is written again, the five bytes
// without a character of their own included.
TEST(Windows1250, EveryByteSurvivesDecodeAndEncode) {
    for (int byte = 1; byte <= 0xFF; ++byte) {
        SCOPED_TRACE(byte);
        const std::string original(1, static_cast<char>(byte));
        const std::string decoded = DecodeWindows1250(original);
        std::string error;
        EXPECT_EQ(EncodeWindows1250(decoded, error), original) << error;
    }
    EXPECT_EQ(DecodeWindows1250("\x81\x98"), "\u0081\u0098");
    EXPECT_EQ(DecodeWindows1250("\x80\xA0\xFF"), "€\u00A0˙");
}

} // namespace
