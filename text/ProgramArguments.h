#pragma once

#include <string>
#include <vector>

// The arguments this program was started with, as UTF-8, its own name first. On Windows they
// come from the wide command line: argv holds them in the ANSI code page, which is not UTF-8
// and cannot hold every name ("C:\Users\Józef" where the code page has no "ó").
std::vector<std::string> ProgramArguments(int argc, char* argv[]);

#if defined(_WIN32)
// A Windows command line split into arguments as the system splits it, each as UTF-8.
std::vector<std::string> ArgumentsOfCommandLine(const wchar_t* commandLine);
#endif
