#pragma once

#include "MonitorRecord.h"
#include "MonitorRow.h"
#include "WireTrace.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// The name of a device command, or empty for a code the device does not know.
std::string CommandName(int command);

// Command code and name as the monitor shows them: "22h Odczyt pomiaru".
std::string CommandText(int command);

// What a payload says, where the command is known: a reading, a device text, a version, a
// clock. toDevice: the payload was sent (a request's layout differs from its answer's).
std::string PayloadSummary(int command, bool toDevice, const std::uint8_t* payload,
                           std::size_t size);

// Bytes as upper-case hex pairs separated by spaces.
std::string HexBytes(const std::uint8_t* bytes, std::size_t size);

// One trace record as the monitor keeps it, its time moved to the wall clock by wallOffsetUs.
// Records that carry nothing of their own (raw reads: what they held comes again as frames and
// noise) give nothing.
std::optional<MonitorRecord> RecordOfWire(const WireRecord& record, std::int64_t wallOffsetUs);

// The texts of a kept row.
MonitorRow DecodeRecord(const MonitorRecord& record);

// RecordOfWire and DecodeRecord in one.
std::optional<MonitorRow> DecodeWireRecord(const WireRecord& record, std::int64_t wallOffsetUs);
