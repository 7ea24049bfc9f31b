#pragma once

#include "LinkMessage.h"

#include <cstdint>

// What the parser threw away with the character it was last fed.
enum class FrameDrop : std::uint8_t {
    None,
    Noise,       // a character outside any frame (line feed and carriage return are not noise)
    BadChecksum, // a whole frame whose checksum is wrong
    Broken,      // a frame cut short by a character that is not a hex digit
    TooLong,     // a frame longer than any deliverable one
    Interrupted, // a frame cut short by the ':' of the next
    TooShort,    // a frame too short to carry a message (found by DecodeFrame, not the parser)
};

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

    // What the last Feed threw away; for a frame, its decoded bytes stand at the start of the
    // receive store, DroppedSize() of them, until the next character.
    FrameDrop LastDrop() const { return static_cast<FrameDrop>(lastDrop); }
    std::uint8_t DroppedSize() const { return droppedSize; }

private:
    void Drop(FrameDrop what);

    std::uint8_t highNibbleNext = 1;
    std::uint8_t current = 0;
    std::uint8_t state = Idle;
    std::uint8_t sum = 0;
    std::uint8_t count = 0;
    std::uint8_t lastDrop = static_cast<std::uint8_t>(FrameDrop::None);
    std::uint8_t droppedSize = 0;
    std::uint8_t* buffer;
    std::uint8_t* writePos;
};

// Value of a hex digit of either case, or -1.
int HexDigitValue(char c);

// Turns a complete decoded frame into a message. Returns false for a frame too short to hold
// an address and a command (length byte 0, 1 or 2): it carries no message.
bool DecodeFrame(const std::uint8_t* frame, LinkMessage& message);
