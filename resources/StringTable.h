#pragma once

#include <string>

// The string resource with this id; empty when there is none.
std::string LoadStringResource(int id);
