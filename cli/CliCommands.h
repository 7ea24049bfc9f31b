#pragma once

#include "CliArguments.h"
#include "CliSession.h"
#include "CliStop.h"
#include "ConnectionSettings.h"
#include "PortList.h"

#include <span>
#include <string>

// Everything a command runs with, worked out from the command line and config.cfg.
struct CliRun {
    const CliArguments* arguments = nullptr;
    std::string settingsDirectory; // ends in a separator
    ConnectionSettings settings;   // port, speed and address in effect
    CliLinkTarget target;          // where the link goes (a private folder for --device)
    CCliStop* stop = nullptr;      // the user's request to stop; null: none
    SystemPortLister systemPorts;  // scan: the system's ports; empty: the system's own list
};

// One command: its line in the parser's table and what runs it. Adding a command is one entry.
struct CliCommand {
    CliCommandShape shape;
    int (*run)(const CliRun& run);
};

std::span<const CliCommand> CliCommands();
