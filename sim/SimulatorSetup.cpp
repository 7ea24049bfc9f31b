#include "SimulatorSetup.h"

#include "StateFile.h"

#include <ostream>

std::optional<DeviceMemory> StartingMemory(const SimOptions& options, std::ostream& err) {
    DeviceMemory memory = DefaultDeviceMemory(WallClock::now());
    if (options.stateFile.empty()) {
        return memory;
    }
    std::string error;
    switch (LoadStateFile(options.stateFile, memory, error)) {
    case StateLoad::Loaded:
        err << "qal-sim: device memory read from " << options.stateFile << '\n';
        return memory;
    case StateLoad::Missing:
        if (!SaveStateFile(options.stateFile, memory, error)) {
            err << "qal-sim: " << error << '\n';
            return std::nullopt;
        }
        return memory;
    case StateLoad::Unusable:
        break;
    }
    err << "qal-sim: " << error << '\n';
    return std::nullopt;
}

DeviceBehaviour DeviceFromOptions(const SimOptions& options) {
    DeviceBehaviour device;
    device.address = options.address;
    device.modelMarker = options.modelMarker;
    device.failure = options.failure;
    device.shortAnswers = options.shortAnswers;
    device.writes = options.writes;
    device.fixedSpeed = options.speed;
    device.seed = options.seed;
    return device;
}

LineBehaviour LineFromOptions(const SimOptions& options) {
    LineBehaviour line;
    line.silent = options.silent;
    line.delay = std::chrono::milliseconds(options.delayMs);
    line.text = options.text;
    line.textPeriod = std::chrono::milliseconds(options.textPeriodMs);
    line.corruptFraction = options.corruptFraction;
    line.seed = options.seed;
    line.paceBaudRate = options.pace ? options.baudRate : 0;
    return line;
}

CDeviceLoop::LogFn LogFromOptions(const SimOptions& options, std::ostream& err) {
    if (!options.verbose) {
        return {};
    }
    return [&err](std::string_view text) { err << "qal-sim: " << text << '\n'; };
}

CDeviceLoop::MemoryFn SaverFromOptions(const SimOptions& options, std::ostream& err) {
    if (options.stateFile.empty()) {
        return {};
    }
    return [path = options.stateFile, &err](const DeviceMemory& changed) {
        std::string saveError;
        if (!SaveStateFile(path, changed, saveError)) {
            // The device has taken the write; only its survival of a restart is lost.
            err << "qal-sim: " << saveError << '\n';
        }
    };
}

bool AnnounceListener(const SimOptions& options, const std::string& url, const char* stopHow,
                      std::optional<CPortMapping>& mapping, std::ostream& out, std::ostream& err) {
    if (!options.linkDirectory.empty()) {
        std::string error;
        mapping = CPortMapping::Create(options.linkDirectory, options.port, url, error);
        if (!mapping) {
            err << "qal-sim: " << error << '\n';
            return false;
        }
        if (!mapping->Replaced().empty()) {
            err << "qal-sim: replaced the stale entry COM" << options.port << " -> "
                << mapping->Replaced() << " in " << mapping->Path() << '\n';
        }
    }
    out << url << std::endl;
    err << "qal-sim: QAL-1P at address " << static_cast<int>(options.address) << " on " << url
        << ", one client at a time";
    if (options.pace) {
        err << ", paced at " << options.baudRate << " baud";
    }
    err << '\n';
    if (mapping) {
        err << "qal-sim: COM" << options.port << " -> " << url << " in " << mapping->Path() << '\n';
    }
    err << "qal-sim: stop with Ctrl+C" << stopHow << '\n';
    return true;
}
