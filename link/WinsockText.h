#pragma once

#include <string>

// The system's text for a Winsock or Windows error number, without its trailing full stop.
std::string WinsockErrorText(int error);
