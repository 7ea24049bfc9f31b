#pragma once

#include <cstdint>
#include <string>

// What a row of the line monitor shows.
enum class RowKind : std::uint8_t {
    ToDevice,   // a frame the terminal sent
    FromDevice, // a frame the terminal received, whole or broken
    Noise,      // characters outside any frame
    Event,      // a link event: opening, connected, ended, port failure, time-out
};

struct MonitorRow {
    std::int64_t wallUs = 0;    // wall clock, microseconds since 1970
    std::int64_t answerUs = -1; // an answer: time since its request went; else -1
    RowKind kind = RowKind::Event;
    int address = -1; // -1: not known
    int command = -1;
    int length = -1;     // payload bytes
    std::string hex;     // payload (for noise and broken frames: the bytes as they came)
    std::string summary; // decoded payload, noise as text, or the event's text
    std::string check;   // checksum state; empty for events

    bool operator==(const MonitorRow&) const = default;
};
