// Fuzz target for the frame parser. Every frame the parser reports is checked against an
// independent reading of the same input (split at ':' instead of a state machine), and every
// message it yields must survive encoding and parsing again unchanged. The receive store is
// exactly the parser's capacity on the heap, so a write past it is caught by the sanitizer.
#include "FrameEncoder.h"
#include "FrameParser.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

struct CompletedFrame {
    std::size_t position; // index of the character that completed it
    std::vector<std::uint8_t> bytes;
};

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

int HexValue(std::uint8_t c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// The frames with a correct checksum in data, read segment by segment: after each ':', the
// run of hex digits that follows, taken in pairs, completes a frame when the byte count
// reaches the first byte plus one, provided that happens within 66 bytes.
std::vector<CompletedFrame> ReferenceFrames(const std::uint8_t* data, std::size_t size) {
    std::vector<CompletedFrame> frames;
    for (std::size_t colon = 0; colon < size; ++colon) {
        if (data[colon] != ':') {
            continue;
        }
        std::vector<std::uint8_t> bytes;
        std::uint8_t sum = 0;
        for (std::size_t i = colon + 1; i + 1 < size && bytes.size() < FrameParser::kCapacity;
             i += 2) {
            const int high = HexValue(data[i]);
            const int low = HexValue(data[i + 1]);
            if (high < 0 || low < 0) {
                break;
            }
            bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
            sum = static_cast<std::uint8_t>(sum + bytes.back());
            if (bytes.size() == static_cast<std::size_t>(bytes[0]) + 1) {
                if (sum == 0) {
                    frames.push_back({i + 1, bytes});
                }
                break;
            }
        }
    }
    return frames;
}

void CheckMessageRoundTrip(const LinkMessage& message) {
    EncodedFrame encoded;
    Require(FrameEncoder::Encode(message, encoded));
    Require(encoded.size == 11 + 2 * static_cast<std::size_t>(message.length));
    auto store = std::make_unique<std::uint8_t[]>(FrameParser::kCapacity);
    FrameParser parser(store.get());
    for (std::size_t i = 0; i < encoded.size; ++i) {
        Require(parser.Feed(encoded.text[i]) == (i + 1 == encoded.size));
    }
    LinkMessage again;
    Require(DecodeFrame(parser.Buffer(), again));
    Require(again.length == message.length && again.address == message.address &&
            again.command == message.command &&
            std::memcmp(again.payload, message.payload, message.length) == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto store = std::make_unique<std::uint8_t[]>(FrameParser::kCapacity);
    FrameParser parser(store.get());
    const std::vector<CompletedFrame> expected = ReferenceFrames(data, size);
    std::size_t next = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (!parser.Feed(static_cast<char>(data[i]))) {
            continue;
        }
        Require(parser.CurrentState() == FrameParser::Idle);
        Require(next < expected.size() && expected[next].position == i);
        const std::vector<std::uint8_t>& bytes = expected[next].bytes;
        Require(std::memcmp(parser.Buffer(), bytes.data(), bytes.size()) == 0);
        ++next;

        LinkMessage message;
        if (!DecodeFrame(parser.Buffer(), message)) {
            Require(bytes[0] < 3);
            continue;
        }
        Require(message.length + 3 == bytes[0] && message.length <= LinkMessage::kPayloadCapacity);
        CheckMessageRoundTrip(message);
    }
    Require(next == expected.size());
    return 0;
}
