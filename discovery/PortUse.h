#pragma once

#include <string>
#include <vector>

// Where the system shows its processes and its devices; a test points both at folders of its
// own.
struct SystemRoots {
    std::string proc = "/proc";
    std::string sys = "/sys";
};

// Whether something else already uses a port, found without opening it.
struct PortUse {
    enum class Kind {
        Free,     // nothing seen: the port may be tried
        HeldOpen, // a process has the device open (as fuser finds it)
        Console,  // the kernel's console writes there
        NoUart,   // a serial port name with no UART behind it
    };
    Kind kind = Kind::Free;
    int holderPid = 0;      // HeldOpen
    std::string holderName; // HeldOpen: the program's name as the system gives it
};

// One look at the system for each device path (links followed), in the paths' order. A process
// that holds both ends of a pseudo-terminal plays the device on it (a simulator), so it does not
// count as holding the port. Where the system shows no /proc or /sys (Windows, whose exclusive
// open keeps other programs out anyway) every port is Free.
std::vector<PortUse> LookAtPorts(const std::vector<std::string>& devices,
                                 const SystemRoots& roots = {});
