#include "Simulator.h"

#include "DeviceLoop.h"
#include "DeviceModel.h"
#include "FdLineChannel.h"
#include "PortLink.h"
#include "PseudoTerminal.h"
#include "SimulatorSetup.h"
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
    const std::optional<DeviceMemory> memory = StartingMemory(options, err);
    if (!memory) {
        return 1;
    }
    CDeviceModel model(DeviceFromOptions(options), *memory);
    const LineBehaviour line = LineFromOptions(options);
    if (options.pace) {
        // Characters are due half a millisecond apart; the default 50 us timer slack would let
        // every wake-up come late by that much. Harmless if refused: pacing is a little coarser.
        (void)::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    }
    const CDeviceLoop::LogFn log = LogFromOptions(options, err);
    const CDeviceLoop::MemoryFn saveMemory = SaverFromOptions(options, err);
    const int input = InputToWatch(options.ignoreInput);
    const char* stopHow = input >= 0 && ::isatty(input) ? " or Ctrl+D" : "";

    std::string error;
    if (options.listen) {
        std::optional<CTcpListener> listener = CTcpListener::Open(*options.listen, error);
        if (!listener) {
            err << "qal-sim: " << error << '\n';
            return 1;
        }
        std::optional<CPortMapping> mapping;
        if (!AnnounceListener(options, listener->Url(), stopHow, mapping, out, err)) {
            return 1;
        }
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
    CFdLineChannel channel(pty->MasterFd(), stopFd, input);
    CDeviceLoop loop(channel, model, line, log, saveMemory);

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

    const LoopEnd end = loop.Run();
    err << "qal-sim: "
        << (end == LoopEnd::Stopped      ? "stopped"
            : end == LoopEnd::InputEnded ? "standard input ended, stopped"
                                         : "the line failed (" + loop.Failure() + "), stopped")
        << '\n';
    return end == LoopEnd::LineFailed ? 1 : 0;
}
