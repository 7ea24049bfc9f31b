#pragma once

#include "CliCommands.h"

#include <cstddef>
#include <optional>
#include <string>

// What every command of qal-cli does alike: its lines out, its messages, opening the link.

// One line on standard output, flushed; false when it could not be written (a reader at the
// other end of a pipe has gone).
bool Out(const std::string& line);
// One message line on standard error, after "qal-cli: ".
void Error(const std::string& line);

// "COM3", or the device path given with --device.
std::string PortName(const CliRun& run);
// Opens the link: kExitDone, or (after its message) the exit status of why not.
int Open(CCliSession& session, const CliRun& run);
// Whether the user asked to stop.
bool StopRequested(const CliRun& run);
// Says "interrupted"; the exit status of a command the user stopped (130, 143 for SIGTERM).
int Stopped(const CliRun& run);
// Reports a request without an answer, or with an answer of only shortLength bytes, and returns
// the exit status for it; a request the user stopped is reported as that instead.
int NoAnswer(const CliRun& run, const std::string& what, std::optional<int> shortLength = {});

enum class InputWait { Ready, Stopped, Failed };
// Waits until standard input has something (or its end) to read, or the user asks to stop.
InputWait WaitForStandardInput(const CliRun& run);
// Standard input up to its end, at most limit bytes; nothing when it failed or the user asked
// to stop (stopped then holds).
std::optional<std::string> ReadStandardInput(const CliRun& run, std::size_t limit, bool& stopped);
