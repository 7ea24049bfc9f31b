#pragma once

#include <string>

// A serial port worth trying: a COM<n> number the terminal can store, a device path, or both,
// with what the system says of the adapter behind it.
struct PortCandidate {
    int port = 0; // COM<n>; 0 when the device has no number yet
    // What to open: on POSIX a COM<n> link or a device file; a network port's URL; empty: by
    // number.
    std::string device;
    std::string reached; // the device file behind links, as people look for it
    std::string maker;
    std::string product;
    std::string serialNumber;
    // An outgoing Bluetooth port: opening it dials the remote device and may block for seconds,
    // so a scan leaves it alone unless asked to try it.
    bool dialsOut = false;
};

// How a person recognises the candidate: "COM3 (/dev/ttyUSB0)", "/dev/ttyACM0", "COM7".
std::string CandidateName(const PortCandidate& candidate);
