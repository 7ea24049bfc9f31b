#pragma once

#include "SimOptions.h"

#include <iosfwd>

// Windows: serves the device on TCP as the options say (they must hold --listen: there is no
// pseudo-terminal) until stopEvent is set. The URL goes to out as the first line; everything else
// to err. Returns the exit status: 0 after a stop, 1 when the simulator could not run.
int RunSimulatorOnWindows(const SimOptions& options, void* stopEvent, std::ostream& out,
                          std::ostream& err);
