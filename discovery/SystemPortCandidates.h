#pragma once

#include "PortCandidate.h"

#include <vector>

// The system's serial ports as candidates for finding the device: device paths on POSIX, COM
// numbers on Windows.
std::vector<PortCandidate> SystemPortCandidates();
