#pragma once

#include "DeviceModel.h"

#include "LineDefaults.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Where --listen serves: a host (an address, 127.0.0.1 unless one is given) and a port (0: one
// the system picks).
struct ListenAddress {
    std::string host = "127.0.0.1";
    int port = 0;

    bool operator==(const ListenAddress&) const = default;
};

// "[HOST:]PORT", "[::1]:PORT" for an IPv6 address; nothing when malformed.
std::optional<ListenAddress> ParseListenAddress(std::string_view text);

// Everything qal-sim can be told on its command line.
struct SimOptions {
    std::uint8_t address = kDefaultDeviceAddress;
    std::string linkDirectory; // empty: no COM link
    int port = kDefaultPort;
    std::string stateFile; // empty: the device forgets everything at exit
    std::uint32_t seed = 1;
    ModelMarkerMode modelMarker = ModelMarkerMode::First;
    bool failure = false;
    bool silent = false;
    int delayMs = 0;
    std::string text; // already in Windows-1250
    int textPeriodMs = 10000;
    double corruptFraction = 0.0;
    bool shortAnswers = false;
    WriteMode writes = WriteMode::Keep;
    bool pace = false; // characters take the line time of baudRate
    int baudRate = kDefaultBaudRate;
    std::optional<std::int16_t> speed;   // tenths of m/s
    std::optional<ListenAddress> listen; // serve on TCP instead of a pseudo-terminal
    bool ignoreInput = false;
    bool verbose = false;
};

struct ParsedOptions {
    enum Outcome { Run, Help, Error };

    Outcome outcome = Run;
    SimOptions options;
    std::string error; // one line saying what is wrong, for Error
};

ParsedOptions ParseOptions(int argc, const char* const* argv);

// Why options cannot run where there is no pseudo-terminal (Windows): only --listen serves
// there, and the options of a pseudo-terminal's line have nothing to act on. Empty when they can.
std::string ListenOnlyRefusal(const SimOptions& options);

// The --help text.
const char* HelpText();
