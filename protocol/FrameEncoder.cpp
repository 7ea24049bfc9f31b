#include "FrameEncoder.h"

#include <cstdint>

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

void AppendByte(EncodedFrame& frame, std::uint8_t byte) {
    frame.text[frame.size++] = kHexDigits[byte >> 4];
    frame.text[frame.size++] = kHexDigits[byte & 0x0F];
}

} // namespace

bool FrameEncoder::Encode(const LinkMessage& message, EncodedFrame& frame) {
    frame.size = 0;
    if (message.length > LinkMessage::kPayloadCapacity) {
        return false;
    }
    frame.text[frame.size++] = '\n';
    frame.text[frame.size++] = '\r';
    frame.text[frame.size++] = ':';

    const auto frameLength = static_cast<std::uint8_t>(message.length + 3);
    std::uint8_t sum = 0;
    auto put = [&](std::uint8_t byte) {
        AppendByte(frame, byte);
        sum = static_cast<std::uint8_t>(sum + byte);
    };
    put(frameLength);
    put(message.address);
    put(message.command);
    for (int i = 0; i < message.length; ++i) {
        put(message.payload[i]);
    }
    AppendByte(frame, static_cast<std::uint8_t>(0x100 - sum));
    return true;
}
