#pragma once

#include "LinkMessage.h"
#include "PortProbe.h"
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

// One measurement answer as qal-cli reports it.
struct Reading {
    bool modelMarker = false; // the device reported its model instead of a speed
    std::int16_t tenths = 0;  // metres per second, in tenths
    bool deviceInOrder = true;
    int outputs[3] = {}; // 1 on, 0 off
};
// Nothing for an answer too short to carry a reading.
std::optional<Reading> ReadingFromAnswer(const LinkMessage& answer);

// "12.3", "-0.5": metres per second.
std::string SpeedText(std::int16_t tenths);
// "2026-12-08 16:30:01", or with the T of ISO 8601 between date and time.
std::string ClockText(const TimeRecord& time, bool iso = false);

// One watched reading: time stamp (ISO 8601, local), its number, the reading.
std::string ReadingLine(const std::string& time, int number, const Reading& reading);
std::string ReadingCsvHeader();
std::string ReadingCsv(const std::string& time, int number, const Reading& reading);
std::string ReadingJson(const std::string& time, int number, const Reading& reading);
