#pragma once

#include "DeviceOperationOwner.h"

#include <string>

// "Wersje": logs the terminal's version, asks the device for its own and logs it.
void RunVersionQuery(IDeviceOperationOwner& owner, const std::string& terminalVersion);
