#include "FrameParser.h"

#include <cstring>

int HexDigitValue(char c) {
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

void FrameParser::Reset() {
    count = 0;
    sum = 0;
    highNibbleNext = 1;
    writePos = buffer;
}

bool FrameParser::Feed(char c) {
    lastDrop = static_cast<std::uint8_t>(FrameDrop::None);
    if (c == ':') {
        if (state == Receiving) {
            Drop(FrameDrop::Interrupted);
        }
        Reset();
        state = Receiving;
        return false;
    }
    if (state == Idle) {
        if (c != '\n' && c != '\r') {
            Drop(FrameDrop::Noise);
        }
        return false;
    }
    const int value = HexDigitValue(c);
    if (value < 0) {
        Drop(FrameDrop::Broken);
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
    if (count >= kCapacity) {
        Drop(FrameDrop::TooLong); // no deliverable frame has more bytes
        state = Idle;
        return false;
    }
    *writePos++ = current;
    ++count;
    sum = static_cast<std::uint8_t>(sum + current);
    if (static_cast<int>(count) == static_cast<int>(buffer[0]) + 1) {
        state = Idle;
        if (sum != 0) {
            Drop(FrameDrop::BadChecksum);
            return false;
        }
        return true;
    }
    return false;
}

void FrameParser::Drop(FrameDrop what) {
    lastDrop = static_cast<std::uint8_t>(what);
    droppedSize = what == FrameDrop::Noise ? 0 : count;
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
