#include "SimulatorWin32.h"

#include "SimulatorSetup.h"
#include "TcpServerWin32.h"

#include <ostream>

int RunSimulatorOnWindows(const SimOptions& options, void* stopEvent, std::ostream& out,
                          std::ostream& err) {
    if (!options.listen) {
        err << "qal-sim: " << ListenOnlyRefusal(options) << '\n';
        return 2;
    }
    const std::optional<DeviceMemory> memory = StartingMemory(options, err);
    if (!memory) {
        return 1;
    }
    CDeviceModel model(DeviceFromOptions(options), *memory);
    const LineBehaviour line = LineFromOptions(options);
    const CDeviceLoop::LogFn log = LogFromOptions(options, err);
    const CDeviceLoop::MemoryFn saveMemory = SaverFromOptions(options, err);

    CTcpServer server;
    std::string error;
    if (!server.Open(*options.listen, error)) {
        err << "qal-sim: " << error << '\n';
        return 1;
    }
    std::optional<CPortMapping> mapping;
    if (!AnnounceListener(options, server.Url(), "", mapping, out, err)) {
        return 1;
    }
    const LoopEnd end = server.Serve(model, line, log, saveMemory, stopEvent, err);
    err << "qal-sim: stopped\n";
    return end == LoopEnd::LineFailed ? 1 : 0;
}
