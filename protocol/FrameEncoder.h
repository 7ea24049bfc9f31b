#pragma once

#include "LinkMessage.h"

#include <cstddef>

// Wire text of one frame: "\n\r:" and the hex digits of length, address, command, payload and
// checksum. Built in a fixed buffer so that sending needs no allocation.
struct EncodedFrame {
    static constexpr std::size_t kMaxSize = 3 + 2 * (LinkMessage::kPayloadCapacity + 4);

    char text[kMaxSize] = {};
    std::size_t size = 0;
};

class FrameEncoder {
public:
    // Returns false, leaving frame empty, for a message whose length exceeds the payload
    // capacity: such a frame could not be decoded by any receiver.
    static bool Encode(const LinkMessage& message, EncodedFrame& frame);
};
