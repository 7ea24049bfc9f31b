#pragma once

#include "ProgramTexts.h"

#include <span>

// What qal-cli says to people, in English: its usage, messages and the lines of its commands
// (never its JSON or CSV). translations/qal-cli_pl.ts has them in Polish.
std::span<const ProgramText> CliTexts();
