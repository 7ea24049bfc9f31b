#pragma once

#include "DeviceLoop.h"
#include "PortMapping.h"
#include "SimOptions.h"

#include <iosfwd>
#include <optional>
#include <string>

// The device's memory at the start: read from the state file when there is one (which is
// written at once when missing, so that a file that cannot be written shows now). Nothing when
// the simulator cannot run; the reason has gone to err.
std::optional<DeviceMemory> StartingMemory(const SimOptions& options, std::ostream& err);

DeviceBehaviour DeviceFromOptions(const SimOptions& options);
LineBehaviour LineFromOptions(const SimOptions& options);
// Empty unless --verbose.
CDeviceLoop::LogFn LogFromOptions(const SimOptions& options, std::ostream& err);
// Empty without a state file.
CDeviceLoop::MemoryFn SaverFromOptions(const SimOptions& options, std::ostream& err);

// A listening simulator's start: its entry in ports.json (with --link), the URL on out and what
// it is on err. False when the entry cannot be made; the reason has gone to err.
bool AnnounceListener(const SimOptions& options, const std::string& url, const char* stopHow,
                      std::optional<CPortMapping>& mapping, std::ostream& out, std::ostream& err);
