#pragma once

#include <string>
#include <vector>

// One argument as a Windows program's command line carries it, so that the program's
// CommandLineToArgvW (and the C runtime) read it back unchanged: quoted when empty or when it
// holds a space, tab or quote; backslashes doubled where they come before a quote.
std::string QuoteWindowsArgument(const std::string& argument);

// The program and its arguments as one command line.
std::string WindowsCommandLine(const std::vector<std::string>& arguments);

// The demo's simulator: a port of 127.0.0.1 the system picks, entered as COM<port> in
// settingsFolder/ports.json for as long as it runs.
std::vector<std::string> DemoSimulatorArguments(const std::string& simulator,
                                                const std::string& settingsFolder, int port);

// The demo's settings folder without its trailing separator, as --link takes it.
std::string WithoutTrailingSeparator(std::string folder);
