#pragma once

#include "DeviceLoop.h"
#include "TcpListener.h"

#include <iosfwd>

// Serves the device to one TCP client after another: each connection gets the line until it
// goes, while the device keeps its memory. Runs until stopFd is readable or inputFd (when not
// -1) reaches its end; LineFailed only when the listener itself fails.
LoopEnd ServeClients(CTcpListener& listener, CDeviceModel& model, const LineBehaviour& line,
                     const CDeviceLoop::LogFn& log, const CDeviceLoop::MemoryFn& saveMemory,
                     int stopFd, int inputFd, std::ostream& err);
