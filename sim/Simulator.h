#pragma once

#include "SimOptions.h"

#include <iosfwd>

// Runs the simulator as the options say until stopFd becomes readable (or standard input ends,
// see the help text). The line's path goes to out as the first line; everything else to err.
// Returns the exit status: 0 after a stop, 1 when the simulator could not run or lost its line.
int RunSimulator(const SimOptions& options, int stopFd, std::ostream& out, std::ostream& err);
