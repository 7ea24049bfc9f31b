#include "Simulator.h"

#include "DeviceLoop.h"
#include "DeviceModel.h"
#include "PortLink.h"
#include "PortMapping.h"
#include "PseudoTerminal.h"
#include "StateFile.h"
#include "TcpClients.h"
#include "TcpListener.h"

#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ostream>

namespace {

// Standard input is watched for its end only where that end means "stop": a pipe (the parent
// went away) or the terminal the simulator runs in the foreground of (Ctrl+D). A background
// job must not touch the terminal, and /dev/null or a file ends at once.
int InputToWatch(bool ignore) {
    if (ignore) {
        return -1;
    }
    struct stat info {};
    if (::fstat(STDIN_FILENO, &info) != 0) {
        return -1;
    }
    if (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)) {
        return STDIN_FILENO;
    }
    if (::isatty(STDIN_FILENO) && ::tcgetpgrp(STDIN_FILENO) == ::getpgrp()) {
        return STDIN_FILENO;
    }
    return -1;
}

} // namespace

int RunSimulator(const SimOptions& options, int stopFd, std::ostream& out, std::ostream& err) {
    std::string error;
    DeviceMemory memory = DefaultDeviceMemory(WallClock::now());
    if (!options.stateFile.empty()) {
        switch (LoadStateFile(options.stateFile, memory, error)) {
        case StateLoad::Loaded:
            err << "qal-sim: device memory read from " << options.stateFile << '\n';
            break;
        case StateLoad::Missing:
            // Written at once, so that a file that cannot be written shows now, not at the
            // first write of a session.
            if (!SaveStateFile(options.stateFile, memory, error)) {
                err << "qal-sim: " << error << '\n';
                return 1;
            }
            break;
        case StateLoad::Unusable:
            err << "qal-sim: " << error << '\n';
            return 1;
        }
    }

    DeviceBehaviour device;
    device.address = options.address;
    device.modelMarker = options.modelMarker;
    device.failure = options.failure;
    device.shortAnswers = options.shortAnswers;
    device.writes = options.writes;
    device.fixedSpeed = options.speed;
    device.seed = options.seed;
    CDeviceModel model(device, memory);

    LineBehaviour line;
    line.silent = options.silent;
    line.delay = std::chrono::milliseconds(options.delayMs);
    line.text = options.text;
    line.textPeriod = std::chrono::milliseconds(options.textPeriodMs);
    line.corruptFraction = options.corruptFraction;
    line.seed = options.seed;
    line.paceBaudRate = options.pace ? options.baudRate : 0;
    if (options.pace) {
        // Characters are due half a millisecond apart; the default 50 us timer slack would let
        // every wake-up come late by that much. Harmless if refused: pacing is a little coarser.
        (void)::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    }

    CDeviceLoop::LogFn log;
    if (options.verbose) {
        log = [&err](std::string_view text) { err << "qal-sim: " << text << '\n'; };
    }
    CDeviceLoop::MemoryFn saveMemory;
    if (!options.stateFile.empty()) {
        saveMemory = [&options, &err](const DeviceMemory& changed) {
            std::string saveError;
            if (!SaveStateFile(options.stateFile, changed, saveError)) {
                // The device has taken the write; only its survival of a restart is lost.
                err << "qal-sim: " << saveError << '\n';
            }
        };
    }
    const int input = InputToWatch(options.ignoreInput);
    const char* stopHow = input >= 0 && ::isatty(input) ? " or Ctrl+D" : "";

    if (options.listen) {
        std::optional<CTcpListener> listener = CTcpListener::Open(*options.listen, error);
        if (!listener) {
            err << "qal-sim: " << error << '\n';
            return 1;
        }
        std::optional<CPortMapping> mapping;
        if (!options.linkDirectory.empty()) {
            mapping =
                CPortMapping::Create(options.linkDirectory, options.port, listener->Url(), error);
            if (!mapping) {
                err << "qal-sim: " << error << '\n';
                return 1;
            }
            if (!mapping->Replaced().empty()) {
                err << "qal-sim: replaced the stale entry COM" << options.port << " -> "
                    << mapping->Replaced() << " in " << mapping->Path() << '\n';
            }
        }
        out << listener->Url() << std::endl;
        err << "qal-sim: QAL-1P at address " << static_cast<int>(options.address) << " on "
            << listener->Url() << ", one client at a time";
        if (options.pace) {
            err << ", paced at " << options.baudRate << " baud";
        }
        err << '\n';
        if (mapping) {
            err << "qal-sim: COM" << options.port << " -> " << listener->Url() << " in "
                << mapping->Path() << '\n';
        }
        err << "qal-sim: stop with Ctrl+C" << stopHow << '\n';
        const LoopEnd end =
            ServeClients(*listener, model, line, log, saveMemory, stopFd, input, err);
        err << "qal-sim: "
            << (end == LoopEnd::InputEnded ? "standard input ended, stopped" : "stopped") << '\n';
        return end == LoopEnd::LineFailed ? 1 : 0;
    }

    std::optional<CPseudoTerminal> pty = CPseudoTerminal::Open(error);
    if (!pty) {
        err << "qal-sim: " << error << '\n';
        return 1;
    }
    std::optional<CPortLink> link;
    if (!options.linkDirectory.empty()) {
        link = CPortLink::Create(options.linkDirectory, options.port, pty->SlavePath(), error);
        if (!link) {
            err << "qal-sim: " << error << '\n';
            return 1;
        }
        if (!link->Replaced().empty()) {
            err << "qal-sim: replaced the stale link " << link->Path() << " (-> "
                << link->Replaced() << ")\n";
        }
    }
    CDeviceLoop loop(pty->MasterFd(), model, line, log, saveMemory);

    out << pty->SlavePath() << std::endl;
    err << "qal-sim: QAL-1P at address " << static_cast<int>(options.address) << " on "
        << pty->SlavePath();
    if (options.pace) {
        err << ", paced at " << options.baudRate << " baud";
    }
    err << '\n';
    if (link) {
        err << "qal-sim: " << link->Path() << " -> " << pty->SlavePath() << '\n';
    }
    err << "qal-sim: stop with Ctrl+C" << stopHow << '\n';

    const LoopEnd end = loop.Run(stopFd, input);
    err << "qal-sim: "
        << (end == LoopEnd::Stopped      ? "stopped"
            : end == LoopEnd::InputEnded ? "standard input ended, stopped"
                                         : "the line failed (" + loop.Failure() + "), stopped")
        << '\n';
    return end == LoopEnd::LineFailed ? 1 : 0;
}
