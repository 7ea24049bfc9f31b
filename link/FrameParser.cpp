#include "FrameParser.h"

#include <cstring>

namespace {

// Value of a hex digit of either case, or -1.
int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

} // namespace

void FrameParser::Reset() {
    count = 0;
    sum = 0;
    highNibbleNext = 1;
    writePos = buffer;
}

bool FrameParser::Feed(char c) {
    if (c == ':') {
        Reset();
        state = Receiving;
        return false;
    }
    if (state == Idle) {
        return false;
    }
    const int value = HexValue(c);
    if (value < 0) {
        state = Idle;
        return false;
    }
    if (highNibbleNext) {
        current = static_cast<std::uint8_t>(value << 4);
        highNibbleNext = 0;
        return false;
    }
    current = static_cast<std::uint8_t>(current + value);
    highNibbleNext = 1;
    if (count >= capacity) {
        state = Idle; // too long: no deliverable frame has more bytes
        return false;
    }
    *writePos++ = current;
    ++count;
    sum = static_cast<std::uint8_t>(sum + current);
    if (static_cast<int>(count) == static_cast<int>(buffer[0]) + 1) {
        state = Idle;
        return sum == 0;
    }
    return false;
}

bool DecodeFrame(const std::uint8_t* frame, LinkMessage& message) {
    const int frameLength = frame[0];
    if (frameLength < 3 || frameLength > LinkMessage::kPayloadCapacity + 3) {
        return false;
    }
    message.length = static_cast<std::uint8_t>(frameLength - 3);
    message.address = frame[1];
    message.command = frame[2];
    std::memcpy(message.payload, frame + 3, message.length);
    return true;
}
