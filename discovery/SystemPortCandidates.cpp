#include "SystemPortCandidates.h"

#include "SystemSerialPorts.h"

#include <exception>
#include <string>

std::vector<PortCandidate> SystemPortCandidates() {
    std::vector<PortCandidate> candidates;
    for (const SystemSerialPort& port : ListSystemSerialPorts()) {
        PortCandidate candidate;
#if defined(_WIN32)
        // Reachable only by its number: a name other than COM<n> could not be stored.
        if (port.name.rfind("COM", 0) != 0) {
            continue;
        }
        try {
            candidate.port = std::stoi(port.name.substr(3));
        } catch (const std::exception&) {
            continue;
        }
        candidate.reached = port.name;
#else
        candidate.device = port.location;
#endif
        candidate.maker = port.maker;
        candidate.product = port.product;
        candidate.serialNumber = port.serialNumber;
        candidate.dialsOut = port.dialsOut;
        candidates.push_back(candidate);
    }
    return candidates;
}
