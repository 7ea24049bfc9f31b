#include "CliCommandSupport.h"

#include "UiText.h"

#include <cstdio>

bool Out(const std::string& line) {
    // A JSON document is for programs: never translated.
    const std::string shown = line.starts_with('{') ? line : UiTextUtf8(line);
    const bool written = std::fputs((shown + "\n").c_str(), stdout) >= 0;
    return std::fflush(stdout) == 0 && written; // each line goes out as it comes
}

void Error(const std::string& line) {
    std::fputs(("qal-cli: " + UiTextUtf8(line) + "\n").c_str(), stderr);
}

std::string PortName(const CliRun& run) {
    return run.arguments->device ? *run.arguments->device
                                 : "COM" + std::to_string(run.settings.port);
}

bool Open(CCliSession& session, const CliRun& run) {
    if (run.stopFd >= 0) {
        session.WatchStopDescriptor(run.stopFd);
    }
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
