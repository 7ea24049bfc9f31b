#include "FrameEncoder.h"
#include "FrameParser.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// Builds a long line of traffic whose expected output is known exactly: valid frames (upper,
// lower or mixed case, with or without the line-break prefix) mixed with noise and with
// frames that must be dropped. Noise never holds ':' and always follows a point where the
// parser is outside a frame, so it must be ignored whatever its bytes.
class CTrafficGenerator {
public:
    explicit CTrafficGenerator(unsigned seed) : m_random(seed) {}

    void Generate(int items) {
        for (int i = 0; i < items; ++i) {
            switch (Pick(10)) {
            case 0:
            case 1:
            case 2:
            case 3:
                AddValidFrame();
                break;
            case 4:
                AddNoise();
                break;
            case 5:
                AddFrameWithBadChecksum();
                break;
            case 6:
                AddTruncatedFrame();
                break;
            case 7:
                AddTooLongFrame();
                break;
            case 8:
                AddFrameTooShortForAMessage();
                break;
            default:
                AddFrameBrokenByForeignCharacter();
                break;
            }
        }
    }

    const std::string& Stream() const { return m_strStream; }
    const std::vector<LinkMessage>& Expected() const { return m_expected; }

private:
    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(m_random); }
    std::uint8_t Byte() { return static_cast<std::uint8_t>(Pick(256)); }

    // Hex text of bytes and their checksum (adjusted by checksumError), in random letter case.
    std::string FrameText(const std::vector<std::uint8_t>& bytes, int checksumError = 0) {
        static const char kUpper[] = "0123456789ABCDEF";
        static const char kLower[] = "0123456789abcdef";
        const int caseMode = Pick(3); // upper, lower, mixed
        std::string text = Pick(2) == 0 ? "\n\r:" : ":";
        auto put = [&](std::uint8_t byte) {
            for (int nibble : {byte >> 4, byte & 0x0F}) {
                const bool lower = caseMode == 1 || (caseMode == 2 && Pick(2) == 0);
                text += (lower ? kLower : kUpper)[nibble];
            }
        };
        std::uint8_t sum = 0;
        for (std::uint8_t byte : bytes) {
            put(byte);
            sum = static_cast<std::uint8_t>(sum + byte);
        }
        put(static_cast<std::uint8_t>(0x100 - sum + checksumError));
        return text;
    }

    LinkMessage RandomMessage() {
        LinkMessage message;
        message.length = static_cast<std::uint8_t>(Pick(LinkMessage::kPayloadCapacity + 1));
        message.address = Byte();
        message.command = Byte();
        for (int i = 0; i < message.length; ++i) {
            message.payload[i] = Byte();
        }
        return message;
    }

    static std::vector<std::uint8_t> FrameBytes(const LinkMessage& message) {
        std::vector<std::uint8_t> bytes = {static_cast<std::uint8_t>(message.length + 3),
                                           message.address, message.command};
        bytes.insert(bytes.end(), message.payload, message.payload + message.length);
        return bytes;
    }

    // A character that is neither a hex digit nor ':'.
    char Terminator() {
        static const char kChars[] = "\r\n GXz;-\x7f\x80\xff";
        return kChars[Pick(sizeof kChars - 1)];
    }

    void AddValidFrame() {
        const LinkMessage message = RandomMessage();
        if (Pick(4) == 0) {
            EncodedFrame frame; // the encoder's own output, upper case with prefix
            FrameEncoder::Encode(message, frame);
            m_strStream.append(frame.text, frame.size);
        } else {
            m_strStream += FrameText(FrameBytes(message));
        }
        m_expected.push_back(message);
    }

    void AddNoise() {
        const int length = Pick(40);
        for (int i = 0; i < length; ++i) {
            char c = static_cast<char>(Byte());
            m_strStream += c == ':' ? '.' : c;
        }
    }

    void AddFrameWithBadChecksum() {
        m_strStream += FrameText(FrameBytes(RandomMessage()), 1 + Pick(255));
    }

    // Cut short, then ended by a foreign character or restarted by the next frame.
    void AddTruncatedFrame() {
        const std::string text = FrameText(FrameBytes(RandomMessage()));
        const std::size_t colon = text.find(':');
        const std::size_t cut = colon + 1 + Pick(static_cast<int>(text.size() - colon - 2));
        m_strStream += text.substr(0, cut);
        if (Pick(2) == 0) {
            m_strStream += Terminator();
        } else {
            AddValidFrame();
        }
    }

    // Length byte 0x42 or more with a correct checksum over 67 or more bytes.
    void AddTooLongFrame() {
        std::vector<std::uint8_t> bytes = {static_cast<std::uint8_t>(0x42 + Pick(0xFF - 0x42 + 1))};
        const int count = 66 + Pick(20);
        while (static_cast<int>(bytes.size()) < count) {
            bytes.push_back(Byte());
        }
        m_strStream += FrameText(bytes);
    }

    // Length byte 0, 1 or 2: the frame completes but carries no address and command.
    void AddFrameTooShortForAMessage() {
        const int length = Pick(3);
        std::vector<std::uint8_t> bytes = {static_cast<std::uint8_t>(length)};
        for (int i = 1; i < length; ++i) {
            bytes.push_back(Byte());
        }
        m_strStream += FrameText(bytes);
    }

    void AddFrameBrokenByForeignCharacter() {
        std::string text = FrameText(FrameBytes(RandomMessage()));
        const std::size_t colon = text.find(':');
        text[colon + 1 + Pick(static_cast<int>(text.size() - colon - 1))] = Terminator();
        m_strStream += text;
    }

    std::mt19937 m_random;
    std::string m_strStream;
    std::vector<LinkMessage> m_expected;
};

} // namespace

TEST(FrameStream, DeliversExactlyTheValidFramesInOrder) {
    for (unsigned seed : {1u, 2u, 3u, 20240611u}) {
        CTrafficGenerator generator(seed);
        generator.Generate(20000);
        const std::vector<LinkMessage>& expected = generator.Expected();
        ASSERT_GT(expected.size(), 8000u);

        std::vector<std::uint8_t> store(FrameParser::kCapacity);
        FrameParser parser(store.data());
        std::size_t next = 0;
        for (char c : generator.Stream()) {
            LinkMessage message;
            if (!parser.Feed(c) || !DecodeFrame(parser.Buffer(), message)) {
                continue;
            }
            ASSERT_LT(next, expected.size()) << "extra message, seed " << seed;
            const LinkMessage& want = expected[next];
            ASSERT_EQ(message.length, want.length) << "message " << next << ", seed " << seed;
            ASSERT_EQ(message.address, want.address) << "message " << next;
            ASSERT_EQ(message.command, want.command) << "message " << next;
            ASSERT_TRUE(std::equal(want.payload, want.payload + want.length, message.payload))
                << "message " << next;
            ++next;
        }
        EXPECT_EQ(next, expected.size()) << "seed " << seed;
    }
}
