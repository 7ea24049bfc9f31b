#pragma once

#include "FrameParser.h"
#include "MonitorRow.h"

#include <cstdint>
#include <string>

// A row as it came, before any text is made of it. The store keeps rows in this form, and a
// row's texts are made again whenever it is shown, copied or saved: a frame's hex and summary
// take several times the bytes the frame itself does.
struct MonitorRecord {
    std::int64_t wallUs = 0;    // wall clock, microseconds since 1970
    std::int64_t answerUs = -1; // an answer: time since its request went; else -1
    RowKind kind = RowKind::Event;
    // A frame from the device the parser refused, and why; None for an intact frame.
    FrameDrop drop = FrameDrop::None;
    // A frame's bytes from its length byte on (as far as it came), noise as it came, or an
    // event's text in UTF-8.
    std::string bytes;

    // The command byte of a frame; -1 where there is none.
    int Command() const {
        return kind != RowKind::Noise && kind != RowKind::Event && bytes.size() >= 3
                   ? static_cast<std::uint8_t>(bytes[2])
                   : -1;
    }
    bool Intact() const { return drop == FrameDrop::None; }

    bool operator==(const MonitorRecord&) const = default;
};
