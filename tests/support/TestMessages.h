#pragma once

#include "FrameEncoder.h"
#include "LinkMessage.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

// A message with this command and payload, for the terminal's default device address 31
// unless another is given. A payload beyond the message's capacity is cut.
inline LinkMessage MakeMessage(std::uint8_t command, const std::vector<std::uint8_t>& payload = {},
                               std::uint8_t address = 31) {
    LinkMessage message;
    message.address = address;
    message.command = command;
    message.length = static_cast<std::uint8_t>(
        std::min<std::size_t>(payload.size(), LinkMessage::kPayloadCapacity));
    std::copy_n(payload.begin(), message.length, message.payload);
    return message;
}

// The message's text on the line, as the encoder writes it.
inline std::string WireText(const LinkMessage& message) {
    EncodedFrame frame;
    (void)FrameEncoder::Encode(message, frame); // what MakeMessage builds always fits
    return std::string(frame.text, frame.size);
}
