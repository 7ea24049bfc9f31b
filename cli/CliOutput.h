#pragma once

#include "LinkMessage.h"
#include "PortProbe.h"
#include "ReadingSample.h"
#include "TimeRecord.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A JSON string literal: quotes, backslash escapes, control characters as \u00XX.
std::string JsonText(const std::string& text);

// "answered", "silent", "busy", "unusable".
const char* OutcomeWord(ProbeResult::Outcome outcome);
// One line per port for people, and the whole scan as one JSON document.
std::string ScanLine(const ProbeResult& result);
std::string ScanJson(const std::vector<ProbeResult>& results);

// One measurement answer as qal-cli reports it: the model marker, or a reading (its number is
// the caller's to set).
struct Reading {
    bool modelMarker = false; // the device reported its model instead of a speed
    ReadingSample sample;
};
// Nothing for an answer too short to carry a reading.
std::optional<Reading> ReadingFromAnswer(const LinkMessage& answer);

// "12.3", "-0.5": metres per second.
std::string SpeedText(std::int16_t tenths);
// "2026-12-08 16:30:01", or with the T of ISO 8601 between date and time.
std::string ClockText(const TimeRecord& time, bool iso = false);

// One watched reading, with its local time stamp (ISO 8601), for people and as JSON. The CSV
// line is the recording's (ReadingCsv).
std::string ReadingLine(const std::string& time, const ReadingSample& reading);
std::string ReadingJson(const std::string& time, const ReadingSample& reading);
