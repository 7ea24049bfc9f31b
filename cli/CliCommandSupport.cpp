#include "CliCommandSupport.h"

#include "ConsoleStream.h"

#include <algorithm>
#include <cstdio>

#if !defined(_WIN32)
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#endif

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

int Open(CCliSession& session, const CliRun& run) {
    if (run.stop != nullptr) {
        session.WatchStop(*run.stop);
    }
    std::string reason;
    std::string device;
    if (session.Connect(reason, device)) {
        return kExitDone;
    }
    if (StopRequested(run)) {
        return Stopped(run);
    }
    // A device given by its path is named by it; a port by its number and what it reaches.
    const bool named = run.arguments->device || device.empty();
    Error("cannot open " + PortName(run) + (named ? "" : " (" + device + ")") + ": " + reason);
    return kExitNoAnswer;
}

bool StopRequested(const CliRun& run) {
    return run.stop != nullptr && run.stop->Requested();
}

int Stopped(const CliRun& run) {
    Error("interrupted");
    return run.stop != nullptr ? run.stop->ExitStatus() : 130;
}

int NoAnswer(const CliRun& run, const std::string& what, std::optional<int> shortLength) {
    if (StopRequested(run)) {
        return Stopped(run);
    }
    const std::string request = "the " + what + " request from " + PortName(run) + " at address " +
                                std::to_string(run.settings.deviceAddress & 0xFF);
    if (shortLength) {
        Error("the answer to " + request + " is too short: " + std::to_string(*shortLength) +
              (*shortLength == 1 ? " byte" : " bytes"));
    } else {
        Error("no answer to " + request);
    }
    return kExitNoAnswer;
}

#if defined(_WIN32)

InputWait WaitForStandardInput(const CliRun& run) {
    // A console read that Ctrl+C ends returns; the stop is looked at after it.
    return StopRequested(run) ? InputWait::Stopped : InputWait::Ready;
}

std::optional<std::string> ReadStandardInput(const CliRun& run, std::size_t limit, bool& stopped) {
    std::string data;
    char buffer[65536];
    std::size_t n = 0;
    while (data.size() < limit &&
           (n = std::fread(buffer, 1, std::min(sizeof buffer, limit - data.size()), stdin)) > 0) {
        data.append(buffer, n);
    }
    const bool failed = std::ferror(stdin) != 0;
    // A read that Ctrl+C ended may return before the console handler has run.
    stopped = run.stop != nullptr &&
              run.stop->WaitFor(std::chrono::milliseconds(failed || data.empty() ? 200 : 0));
    return failed || stopped ? std::nullopt : std::optional<std::string>(data);
}

#else

InputWait WaitForStandardInput(const CliRun& run) {
    const int stopFd = run.stop != nullptr ? run.stop->Fd() : -1;
    for (;;) {
        if (StopRequested(run)) {
            return InputWait::Stopped;
        }
        pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {stopFd, POLLIN, 0}};
        if (::poll(fds, stopFd >= 0 ? 2 : 1, -1) < 0 && errno != EINTR) {
            return InputWait::Failed;
        }
        if (fds[0].revents != 0) {
            return InputWait::Ready; // data, its end, or an error the read will tell
        }
    }
}

std::optional<std::string> ReadStandardInput(const CliRun& run, std::size_t limit, bool& stopped) {
    stopped = false;
    std::string data;
    while (data.size() < limit) {
        switch (WaitForStandardInput(run)) {
        case InputWait::Ready:
            break;
        case InputWait::Stopped:
            stopped = true;
            return std::nullopt;
        case InputWait::Failed:
            return std::nullopt;
        }
        char buffer[65536];
        const ssize_t n =
            ::read(STDIN_FILENO, buffer, std::min(sizeof buffer, limit - data.size()));
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        if (n < 0) {
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        data.append(buffer, static_cast<std::size_t>(n));
    }
    return data;
}

#endif
