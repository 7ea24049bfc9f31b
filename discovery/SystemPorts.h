#pragma once

#include "PortCandidate.h"

#include <vector>

// The serial ports the system knows, with maker, product and serial number as its device list
// tells them: device paths on POSIX, COM numbers on Windows.
std::vector<PortCandidate> ListSystemPorts();
