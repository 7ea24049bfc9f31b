#pragma once

#include "LinkMessage.h"

#include <cstdint>

// Receive state machine: one character at a time, no allocation. The receive store belongs to
// the caller (the link context) and must hold kCapacity bytes.
class FrameParser {
public:
    static constexpr std::uint8_t kCapacity = 66;

    enum State : std::uint8_t { Idle, Receiving };

    explicit FrameParser(std::uint8_t* rxStore) : buffer(rxStore), writePos(rxStore) {}

    // Starts a new frame.
    void Reset();

    // True exactly when c completed a frame whose checksum is right; the decoded frame then
    // stands at the start of the receive store until the next ':'.
    bool Feed(char c);

    State CurrentState() const { return static_cast<State>(state); }
    const std::uint8_t* Buffer() const { return buffer; }

private:
    std::uint8_t highNibbleNext = 1;
    std::uint8_t current = 0;
    std::uint8_t state = Idle;
    std::uint8_t sum = 0;
    std::uint8_t count = 0;
    std::uint8_t capacity = kCapacity;
    std::uint8_t* buffer;
    std::uint8_t* writePos;
};

// Turns a complete decoded frame into a message. Returns false for a frame too short to hold
// an address and a command (length byte 0, 1 or 2): it carries no message.
bool DecodeFrame(const std::uint8_t* frame, LinkMessage& message);
