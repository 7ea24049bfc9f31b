#pragma once

#include "NetSocket.h"
#include "PortCandidate.h"
#include "PortUse.h"

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
    // The ports' writes get it too, so that one stalled on the line ends at once.
    const std::atomic<int>* cancel = nullptr;
    // Outgoing Bluetooth ports are tried too (opening one dials the remote device).
    bool dialOut = false;
    // Where to see which ports other programs or the kernel use (see LookAtPorts).
    SystemRoots roots;
    // How a network port's name is looked up; empty: by the system.
    NameResolver resolver = {};
};

// What one port said to the version query.
struct ProbeResult {
    enum class Outcome {
        Answered,  // a version answer came
        Silent,    // the port opened, no answer came in time
        Busy,      // another program holds the port, or the kernel's console; it was left alone
        Unusable,  // the port could not be opened (missing, no access, speed refused), or it
                   // has no UART behind it and was left alone
        NotProbed, // an outgoing Bluetooth port, not opened since that would dial out
    };
    PortCandidate candidate;
    Outcome outcome = Outcome::Unusable;
    int baudRate = 0;           // of the answer, or of the last try
    unsigned versionNumber = 0; // Answered
    std::string versionText;    // Answered: the device's text, UTF-8
    bool bytesSeen = false;     // Silent: something came, but no answer (noise, other speed)
    std::string reason;         // Busy, Unusable: the system's text, when it was opened
    PortUse use;                // Busy, Unusable: why it was left alone unopened; Free if not
    std::chrono::milliseconds took{0};
};

// The speeds to try: the configured one, then (allSpeeds) every other speed the port supports,
// fastest first.
std::vector<int> ProbeSpeeds(int configured, bool allSpeeds);

// Unless someone else uses the port (see LookAtPorts), opens it, asks for the version at each
// speed until one answers, and closes it again as it found it.
ProbeResult ProbePort(const PortCandidate& candidate, const ProbeSettings& settings);

// Every candidate at once, one thread each, all joined before it returns; results in the order
// of the candidates. Which ports others use is looked at once, before any is opened.
std::vector<ProbeResult> ScanPorts(const std::vector<PortCandidate>& candidates,
                                   const ProbeSettings& settings);
