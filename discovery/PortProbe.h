#pragma once

#include "NetSocket.h"
#include "PortCandidate.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

// How to ask: where COM<n> links live, the speed and address of the settings, whether the other
// speeds are tried too, and how long one try may take at most.
struct ProbeSettings {
    std::string settingsDirectory;
    int baudRate = 0;
    std::uint8_t address = 0;
    bool allSpeeds = false;
    std::chrono::milliseconds tryLimit{1500};
    // Once it holds true, every try ends at its next wait and no further speed is tried: a
    // window that closes does not wait for a whole scan. Null: none.
    const std::atomic<bool>* cancel = nullptr;
    // How a network port's name is looked up; empty: by the system.
    NameResolver resolver = {};
};

// What one port said to the version query.
struct ProbeResult {
    enum class Outcome {
        Answered, // a version answer came
        Silent,   // the port opened, no answer came in time
        Busy,     // another program holds the port; it was left alone
        Unusable, // the port could not be opened (missing, no access, speed refused)
    };
    PortCandidate candidate;
    Outcome outcome = Outcome::Unusable;
    int baudRate = 0;           // of the answer, or of the last try
    unsigned versionNumber = 0; // Answered
    std::string versionText;    // Answered: the device's text, UTF-8
    bool bytesSeen = false;     // Silent: something came, but no answer (noise, other speed)
    std::string reason;         // Busy, Unusable: the system's text
    std::chrono::milliseconds took{0};
};

// The speeds to try: the configured one, then (allSpeeds) every other speed the port supports,
// fastest first.
std::vector<int> ProbeSpeeds(int configured, bool allSpeeds);

// Opens the port, asks for the version at each speed until one answers, closes it again.
ProbeResult ProbePort(const PortCandidate& candidate, const ProbeSettings& settings);

// Every candidate at once, one thread each, all joined before it returns; results in the order
// of the candidates.
std::vector<ProbeResult> ScanPorts(const std::vector<PortCandidate>& candidates,
                                   const ProbeSettings& settings);
