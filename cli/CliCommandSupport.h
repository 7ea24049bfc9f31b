#pragma once

#include "CliCommands.h"

#include <string>

// What every command of qal-cli does alike: its lines out, its messages, opening the link.

// One line on standard output, flushed; false when it could not be written (a reader at the
// other end of a pipe has gone). Lines for people appear in the chosen language; JSON as it is.
bool Out(const std::string& line);
// One message line on standard error, after "qal-cli: ", in the chosen language.
void Error(const std::string& line);

// "COM3", or the device path given with --device.
std::string PortName(const CliRun& run);
// Opens the link; reports why not.
bool Open(CCliSession& session, const CliRun& run);
// Reports a request without an answer, with what went wrong in detail when known; returns the
// exit status for it.
int NoAnswer(const CliRun& run, const std::string& what, const std::string& detail = {});
