#include "PortFailureText.h"

std::string PortFailureLines(const std::string& program, const PortFailure& failure) {
    const std::string name = "COM" + std::to_string(failure.port);
    std::string line = program + ": " + name;
    if (!failure.device.empty() && failure.device != name) {
        line += " (" + failure.device + ")";
    }
    line += ": ";
    if (failure.lost) {
        line += "connection lost: ";
    }
    line += failure.reason.empty() ? std::string("cannot be used") : failure.reason;
    line += "\n";
    if (failure.permissionDenied) {
        // Debian gives serial devices to this group; membership counts from the next login.
        line += program + ": serial ports need membership of the 'dialout' group: "
                          "sudo usermod -aG dialout $USER, then log out and in again\n";
    }
    return line;
}
