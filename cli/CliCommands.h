#pragma once

#include "CliArguments.h"
#include "CliSession.h"
#include "ConnectionSettings.h"

#include <span>
#include <string>

// Everything a command runs with, worked out from the command line and config.cfg.
struct CliRun {
    const CliArguments* arguments = nullptr;
    std::string settingsDirectory; // ends in a separator
    ConnectionSettings settings;   // port, speed and address in effect
    CliLinkTarget target;          // where the link goes (a private folder for --device)
    int stopFd = -1;               // readable once the user asks to stop; -1: none
    void* stopEvent = nullptr;     // Windows: an event set once the user asks to stop; null: none
};

// One command: its line in the parser's table and what runs it. Adding a command is one entry.
struct CliCommand {
    CliCommandShape shape;
    int (*run)(const CliRun& run);
};

std::span<const CliCommand> CliCommands();
