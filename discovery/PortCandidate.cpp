#include "PortCandidate.h"

std::string CandidateName(const PortCandidate& candidate) {
    const std::string& device = candidate.reached.empty() ? candidate.device : candidate.reached;
    if (candidate.port <= 0) {
        return device;
    }
    const std::string com = "COM" + std::to_string(candidate.port);
    return device.empty() ? com : com + " (" + device + ")";
}
