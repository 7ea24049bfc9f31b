#pragma once

#include "SerialPort.h"

#include <string>

// What the program writes to standard error about a port it could not use or that went away,
// one line per fact, each ending in a line break: which port reached which device and the
// system's reason; for a permission error also how to get the right to it.
std::string PortFailureLines(const std::string& program, const PortFailure& failure);
