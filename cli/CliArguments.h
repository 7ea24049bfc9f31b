#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Exit statuses of qal-cli.
inline constexpr int kExitDone = 0;
inline constexpr int kExitNoAnswer = 1; // the device did not answer, or refused
inline constexpr int kExitUsage = 2;
inline constexpr int kExitFile = 3;        // a file could not be read or written
inline constexpr int kExitNotVerified = 4; // a record read back after a restore is not as written

// Options that only some commands take.
enum CliOption : unsigned {
    kOptionCount = 1u << 0,
    kOptionCsv = 1u << 1,
    kOptionSet = 1u << 2,
    kOptionAllSpeeds = 1u << 3,
    kOptionClone = 1u << 4,
    kOptionYes = 1u << 5,
};

// One command as the parser sees it: its name, its line in the usage text, the options it
// takes, and how many file arguments.
struct CliCommandShape {
    std::string_view name;
    std::string_view synopsis; // after the name, e.g. "[--count N] [--csv]"
    std::string_view summary;
    unsigned options = 0;
    int files = 0;
};

// What the command line asks for.
struct CliArguments {
    bool help = false;
    std::string error; // one line without a line break; set: usage error, exit status 2

    std::string command;
    std::vector<std::string> files;
    std::optional<int> port;
    std::optional<std::string> device;
    std::optional<int> baudRate;
    std::optional<int> address;
    std::optional<std::string> settingsDirectory;
    bool json = false;
    int count = 0; // watch: readings to take; 0 until stopped
    bool csv = false;
    bool set = false;
    bool allSpeeds = false;
    bool clone = false;
    bool yes = false;
};

// The arguments after the program name, against the table of commands. Options may stand
// before or after the command; "--" ends them. -h or --help anywhere before "--" asks for help,
// whatever else is wrong.
CliArguments ParseCliArguments(const std::vector<std::string>& arguments,
                               std::span<const CliCommandShape> commands);

// The --help text, with one line per command of the table.
std::string CliUsage(std::span<const CliCommandShape> commands);
