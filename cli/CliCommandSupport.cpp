#include "CliCommandSupport.h"

#include "ConsoleStream.h"

#include <cstdio>

// A Windows console gets the characters, a pipe or file the UTF-8 bytes; each line goes out as
// it comes.
bool Out(const std::string& line) {
    return WriteToStream(stdout, line + "\n");
}

void Error(const std::string& line) {
    (void)WriteToStream(stderr, "qal-cli: " + line + "\n"); // nowhere left to report it
}

std::string PortName(const CliRun& run) {
    return run.arguments->device ? *run.arguments->device
                                 : "COM" + std::to_string(run.settings.port);
}

bool Open(CCliSession& session, const CliRun& run) {
    if (run.stopFd >= 0) {
        session.WatchStopDescriptor(run.stopFd);
    }
#if defined(_WIN32)
    if (run.stopEvent != nullptr) {
        session.WatchStopEvent(run.stopEvent);
    }
#endif
    std::string failure;
    if (!session.Connect(failure)) {
        Error("cannot open " + PortName(run) + ": " + failure);
        return false;
    }
    return true;
}

int NoAnswer(const CliRun& run, const std::string& what, const std::string& detail) {
    Error("no answer to the " + what + " request from " + PortName(run) + " at address " +
          std::to_string(run.settings.deviceAddress & 0xFF) +
          (detail.empty() ? "" : " (" + detail + ")"));
    return kExitNoAnswer;
}
