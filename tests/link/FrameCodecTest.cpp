#include "FrameEncoder.h"
#include "FrameParser.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string EncodeToString(const LinkMessage& message) {
    EncodedFrame frame;
    EXPECT_TRUE(FrameEncoder::Encode(message, frame));
    return std::string(frame.text, frame.size);
}

} // namespace

TEST(FrameEncoder, VersionRequestMatchesWorkedExample) {
    LinkMessage message;
    message.address = 0x1F;
    message.command = 0x21;
    EXPECT_EQ(EncodeToString(message), "\n\r:031F21BD");
}

TEST(FrameParser, DecodesLowerCaseFrameAfterNoise) {
    std::uint8_t store[FrameParser::kCapacity];
    FrameParser parser(store);
    const std::string wire = "xx:051f210102b8";
    int completed = 0;
    for (char c : wire) {
        completed += parser.Feed(c) ? 1 : 0;
    }
    ASSERT_EQ(completed, 1);
    LinkMessage message;
    ASSERT_TRUE(DecodeFrame(parser.Buffer(), message));
    EXPECT_EQ(message.length, 2);
    EXPECT_EQ(message.address, 0x1F);
    EXPECT_EQ(message.command, 0x21);
    EXPECT_EQ(message.payload[0], 1);
    EXPECT_EQ(message.payload[1], 2);
}
