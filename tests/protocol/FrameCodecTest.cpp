#include "FrameEncoder.h"
#include "FrameParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string EncodeToString(const LinkMessage& message) {
    EncodedFrame frame;
    EXPECT_TRUE(FrameEncoder::Encode(message, frame));
    return std::string(frame.text, frame.size);
}

LinkMessage Message(std::uint8_t address, std::uint8_t command,
                    std::initializer_list<std::uint8_t> payload = {}) {
    LinkMessage message;
    message.address = address;
    message.command = command;
    for (std::uint8_t byte : payload) {
        message.payload[message.length++] = byte;
    }
    return message;
}

// Feeds text to a parser over a receive store of exactly the parser's capacity and collects
// what it delivers.
struct ParseResult {
    int completed = 0;                 // Feed results that were true
    std::vector<LinkMessage> messages; // of those, the frames that carry a message
};

ParseResult Parse(const std::string& text) {
    std::vector<std::uint8_t> store(FrameParser::kCapacity);
    FrameParser parser(store.data());
    ParseResult result;
    for (char c : text) {
        if (parser.Feed(c)) {
            ++result.completed;
            LinkMessage message;
            if (DecodeFrame(parser.Buffer(), message)) {
                result.messages.push_back(message);
            }
        }
    }
    return result;
}

// Hex text of raw frame bytes, followed by their checksum.
std::string FrameText(const std::vector<std::uint8_t>& bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text = ":";
    std::uint8_t sum = 0;
    auto put = [&](std::uint8_t byte) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    };
    for (std::uint8_t byte : bytes) {
        put(byte);
        sum = static_cast<std::uint8_t>(sum + byte);
    }
    put(static_cast<std::uint8_t>(0x100 - sum));
    return text;
}

void ExpectSame(const LinkMessage& actual, const LinkMessage& expected) {
    EXPECT_EQ(actual.length, expected.length);
    EXPECT_EQ(actual.address, expected.address);
    EXPECT_EQ(actual.command, expected.command);
    for (int i = 0; i < expected.length; ++i) {
        EXPECT_EQ(actual.payload[i], expected.payload[i]) << "payload byte " << i;
    }
}

} // namespace

TEST(FrameEncoder, WritesTheWorkedExamplesByteForByte) {
    EXPECT_EQ(EncodeToString(Message(0x1F, 0x21)), "\n\r:031F21BD");
    EXPECT_EQ(EncodeToString(Message(0x1F, 0x22, {0, 0, 0})), "\n\r:061F22000000B9");
    // Upper-case digits only; a checksum of zero is written as 00.
    EXPECT_EQ(EncodeToString(Message(0xAB, 0xCD, {0xEF})), "\n\r:04ABCDEF95");
    EXPECT_EQ(EncodeToString(Message(0x00, 0xFD)), "\n\r:0300FD00");
}

TEST(FrameEncoder, SizesRangeFrom11To135CharactersAndLongerMessagesAreRefused) {
    LinkMessage message = Message(0x1F, 0x30);
    EXPECT_EQ(EncodeToString(message).size(), 11u);

    message.length = LinkMessage::kPayloadCapacity;
    for (int i = 0; i < message.length; ++i) {
        message.payload[i] = static_cast<std::uint8_t>(0xC0 + i);
    }
    const std::string longest = EncodeToString(message);
    ASSERT_EQ(longest.size(), EncodedFrame::kMaxSize);
    EXPECT_EQ(longest.size(), 135u);
    EXPECT_EQ(longest.substr(0, 9), "\n\r:411F30");
    ASSERT_EQ(Parse(longest).messages.size(), 1u);
    ExpectSame(Parse(longest).messages[0], message);

    message.length = LinkMessage::kPayloadCapacity + 1;
    EncodedFrame frame;
    EXPECT_FALSE(FrameEncoder::Encode(message, frame));
    EXPECT_EQ(frame.size, 0u);
    message.length = 255;
    EXPECT_FALSE(FrameEncoder::Encode(message, frame));
}

TEST(FrameEncoder, EveryLengthSurvivesTheRoundTrip) {
    for (int length = 0; length <= LinkMessage::kPayloadCapacity; ++length) {
        LinkMessage message = Message(static_cast<std::uint8_t>(length * 7), 0x40);
        message.length = static_cast<std::uint8_t>(length);
        for (int i = 0; i < length; ++i) {
            message.payload[i] = static_cast<std::uint8_t>(i * 37 + length);
        }
        const ParseResult result = Parse(EncodeToString(message));
        ASSERT_EQ(result.messages.size(), 1u) << "length " << length;
        ExpectSame(result.messages[0], message);
    }
}

TEST(FrameParser, DecodesTheWorkedExampleInEitherCaseAfterAnyNoise) {
    for (const std::string text : {"xx\r\n:051f210102b8", ":051F210102B8", ":051f21010 2b8"}) {
        const ParseResult result = Parse(text);
        if (text.find(' ') != std::string::npos) {
            EXPECT_TRUE(result.messages.empty()) << "a blank breaks the frame";
            continue;
        }
        ASSERT_EQ(result.messages.size(), 1u) << text;
        ExpectSame(result.messages[0], Message(0x1F, 0x21, {1, 2}));
    }
    ASSERT_EQ(Parse(":0aAbBcCdDeEfF0a1B2c8eA").messages.size(), 1u);
    ExpectSame(Parse(":0aAbBcCdDeEfF0a1B2c8eA").messages[0],
               Message(0xAB, 0xBC, {0xCD, 0xDE, 0xEF, 0xF0, 0xA1, 0xB2, 0xC8}));
}

TEST(FrameParser, TellsCompleteFramesFromMessages) {
    // ":00" completes a frame (its one byte sums to zero) but carries no address or command;
    // neither do frames with length byte 1 or 2.
    EXPECT_EQ(Parse(":00").completed, 1);
    EXPECT_TRUE(Parse(":00").messages.empty());
    EXPECT_EQ(Parse(":01FF").completed, 1);
    EXPECT_EQ(Parse(":021FDF").completed, 1);
    EXPECT_TRUE(Parse(":01FF:021FDF").messages.empty());

    const ParseResult good = Parse(":031F21BD");
    ASSERT_EQ(good.messages.size(), 1u);
    ExpectSame(good.messages[0], Message(0x1F, 0x21));
    EXPECT_EQ(Parse(":031F21BE").completed, 0) << "bad checksum";
}

TEST(FrameParser, DropsBrokenFramesAndRestartsAtEveryColon) {
    const ParseResult restarted = Parse(":031F:031F21BD");
    ASSERT_EQ(restarted.messages.size(), 1u);
    ExpectSame(restarted.messages[0], Message(0x1F, 0x21));

    // After the blank the parser waits for a colon: the digits that follow are ignored.
    EXPECT_EQ(Parse(":031F 21BD").completed, 0);
    EXPECT_EQ(Parse(":031F 21BD" + std::string(":031F21BD")).messages.size(), 1u);
    // Characters 0x80 and above are never digits, and an odd digit count never completes.
    EXPECT_EQ(Parse(":031F\xB2"
                    "1BD")
                  .completed,
              0);
    EXPECT_EQ(Parse(":031F21B").completed, 0);
    // Digits after a completed frame are outside any frame.
    EXPECT_EQ(Parse(":031F21BD031F21BD").messages.size(), 1u);
}

TEST(FrameParser, NeverDeliversMoreThan66Bytes) {
    // Length byte 0x41 (65) with 62 payload bytes is the largest deliverable frame.
    std::vector<std::uint8_t> bytes = {0x41, 0x1F, 0x30};
    bytes.resize(65, 0x5A);
    const ParseResult largest = Parse(FrameText(bytes));
    ASSERT_EQ(largest.messages.size(), 1u);
    EXPECT_EQ(largest.messages[0].length, 62);
    EXPECT_EQ(largest.messages[0].payload[61], 0x5A);

    // Length byte 0x42 (66): 67 bytes with a correct checksum, dropped at the 67th.
    bytes[0] = 0x42;
    bytes.push_back(0x5A);
    const std::string tooLong = FrameText(bytes);
    EXPECT_EQ(Parse(tooLong).completed, 0);
    // It does not disturb the next frame.
    EXPECT_EQ(Parse(tooLong + "\n\r:031F21BD").messages.size(), 1u);

    // Length byte 0xFF can never match a count and a long digit run cannot overrun the store
    // (the store is exactly 66 bytes: an overrun is caught by the address sanitizer).
    EXPECT_EQ(Parse(":FF" + std::string(4000, '0')).completed, 0);
}

TEST(FrameParser, KeepsTheDecodedFrameUntilTheNextColon) {
    std::uint8_t store[FrameParser::kCapacity];
    FrameParser parser(store);
    EXPECT_EQ(parser.CurrentState(), FrameParser::Idle);
    bool completed = false;
    for (char c : std::string("\n\r:051f210102b8")) {
        completed = parser.Feed(c);
    }
    ASSERT_TRUE(completed);
    EXPECT_EQ(parser.CurrentState(), FrameParser::Idle);
    for (char c : std::string("0123456789abcdef\r\n")) {
        EXPECT_FALSE(parser.Feed(c));
    }
    const std::uint8_t expected[] = {0x05, 0x1F, 0x21, 0x01, 0x02, 0xB8};
    EXPECT_TRUE(std::equal(std::begin(expected), std::end(expected), parser.Buffer()));
    EXPECT_FALSE(parser.Feed(':'));
    EXPECT_EQ(parser.CurrentState(), FrameParser::Receiving);
}

TEST(FrameParser, DeviceCommandsWithLinkEventNumbersDecodeAsOrdinaryMessages) {
    for (std::uint8_t command : {kLinkEventEnded, kLinkEventConnected, kLinkEventOpening}) {
        const ParseResult result = Parse(EncodeToString(Message(0x1F, command)));
        ASSERT_EQ(result.messages.size(), 1u);
        EXPECT_TRUE(IsLinkEvent(result.messages[0].command));
    }
}

// What the parser throws away is reported with the character that ends it, together with the
// decoded bytes it had gathered; frames it delivers and the frame preamble report nothing.
TEST(FrameParser, ReportsWhatItDropsAndWhy) {
    struct Case {
        const char* name;
        std::string text;
        std::vector<std::pair<FrameDrop, int>> drops; // reason, decoded bytes dropped
    };
    const Case cases[] = {
        {"good frame after its preamble", "\n\r:031F21BD", {}},
        {"noise around a frame", "x\n\r:031F21BDy", {{FrameDrop::Noise, 0}, {FrameDrop::Noise, 0}}},
        {"bad checksum", ":031F21BE", {{FrameDrop::BadChecksum, 4}}},
        {"broken by a non-digit", ":031F2?", {{FrameDrop::Broken, 2}}},
        {"interrupted by the next frame", ":031F:031F21BD", {{FrameDrop::Interrupted, 2}}},
        {"too long", ":FF" + std::string(2 * 66, '0'), {{FrameDrop::TooLong, 66}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> store(FrameParser::kCapacity);
        FrameParser parser(store.data());
        std::vector<std::pair<FrameDrop, int>> drops;
        for (char ch : c.text) {
            (void)parser.Feed(ch);
            if (parser.LastDrop() != FrameDrop::None) {
                drops.emplace_back(parser.LastDrop(), parser.DroppedSize());
            }
        }
        EXPECT_EQ(drops, c.drops);
    }
}
