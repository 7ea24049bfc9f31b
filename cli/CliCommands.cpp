#include "CliCommands.h"

#include "CliCommandSupport.h"
#include "CliOutput.h"
#include "CliSettingsCommands.h"
#include "DeviceCommands.h"
#include "LocalTime.h"
#include "LocalTimeText.h"
#include "PortList.h"
#include "PortProbe.h"
#include "ReadingCsv.h"
#include "SystemPortCandidates.h"
#include "Windows1250.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

namespace {

std::int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// One reading; a model report is asked once more, as the device sends it only on the first
// reading of a session.
std::optional<Reading> ReadOnce(CCliSession& session, bool& modelSeen) {
    static constexpr std::uint8_t kRequest[kMeasurementRequestLength] = {0, 0, 0};
    for (int attempt = 0; attempt < 2; ++attempt) {
        const auto answer = session.Request(CMD_READ_MEASUREMENT, kRequest, sizeof kRequest);
        if (!answer) {
            return std::nullopt;
        }
        auto reading = ReadingFromAnswer(*answer);
        if (!reading || !reading->modelMarker) {
            return reading;
        }
        modelSeen = true;
    }
    return std::nullopt;
}

// The ports asked all at once; a stop ends every try at its next wait.
std::vector<ProbeResult> Scan(const CliRun& run, const ProbeSettings& base, bool& stopped) {
    std::atomic<int> cancel{0};
    std::atomic<bool> done{false};
    ProbeSettings settings = base;
    settings.cancel = &cancel;
    std::thread watcher([&] {
        while (!done.load() && run.stop != nullptr &&
               (run.stop->Fd() >= 0 || run.stop->Event() != nullptr)) {
            if (run.stop->WaitFor(std::chrono::milliseconds(100))) {
                cancel.store(1);
                return;
            }
        }
    });
    const auto system = run.systemPorts ? run.systemPorts() : SystemPortCandidates();
    auto results =
        ScanPorts(MergePorts(SettingsFolderPorts(run.settingsDirectory), system), settings);
    done.store(true);
    watcher.join();
    stopped = cancel.load() != 0;
    return results;
}

int RunScan(const CliRun& run) {
    ProbeSettings settings;
    settings.settingsDirectory = run.settingsDirectory;
    settings.baudRate = run.settings.baudRate;
    settings.address = static_cast<std::uint8_t>(run.settings.deviceAddress & 0xFF);
    settings.allSpeeds = run.arguments->allSpeeds;
    bool stopped = false;
    const auto results = Scan(run, settings, stopped);
    if (stopped) {
        return Stopped(run); // what the cut tries found says nothing
    }
    bool answered = false;
    for (const ProbeResult& result : results) {
        answered = answered || result.outcome == ProbeResult::Outcome::Answered;
    }
    if (run.arguments->json) {
        Out(ScanJson(results));
    } else {
        for (const ProbeResult& result : results) {
            Out(ScanLine(result));
        }
        if (results.empty()) {
            Error("no serial ports found");
        }
    }
    return answered ? kExitDone : kExitNoAnswer;
}

int RunInfo(const CliRun& run) {
    CCliSession session(run.target, static_cast<std::uint8_t>(run.settings.deviceAddress));
    if (const int status = Open(session, run); status != kExitDone) {
        return status;
    }
    const auto version = session.Request(CMD_READ_VERSION);
    if (!version || version->length < 1) {
        return NoAnswer(run, "version",
                        version ? std::optional<int>(version->length) : std::nullopt);
    }
    const std::string text = DecodeDeviceText(version->payload + 1, version->length - 1u);
    bool model = false;
    auto reading = ReadOnce(session, model);
    if (!reading) {
        return NoAnswer(run, "measurement");
    }
    reading->sample.readingNo = 1;
    const std::string number = std::to_string(version->payload[0]);
    if (run.arguments->json) {
        Out("{\"port\":" + JsonText(PortName(run)) +
            ",\"baud\":" + std::to_string(run.settings.baudRate) +
            ",\"address\":" + std::to_string(run.settings.deviceAddress & 0xFF) +
            ",\"version\":{\"number\":" + number + ",\"text\":" + JsonText(text) +
            "},\"model\":" + (model ? JsonText("QAL-1P") : "null") +
            ",\"reading\":" + ReadingJson(FormatLocalIsoTime(NowMs()), reading->sample) + "}");
    } else {
        const ReadingSample& sample = reading->sample;
        Out("port:     " + PortName(run) + " at " + std::to_string(run.settings.baudRate) +
            ", address " + std::to_string(run.settings.deviceAddress & 0xFF));
        Out("version:  " + text + ", version " + number);
        if (model) {
            Out("model:    QAL-1P");
        }
        Out("speed:    " + SpeedText(sample.speedTenths) + " m/s");
        Out(std::string("device:   ") + (sample.failure ? "FAILURE" : "in order"));
        Out(std::string("outputs:  ") + (sample.outputs[0] ? "1" : "0") + " " +
            (sample.outputs[1] ? "1" : "0") + " " + (sample.outputs[2] ? "1" : "0"));
    }
    return kExitDone;
}

int RunWatch(const CliRun& run) {
    constexpr unsigned kIntervalMs = 1000;
    CCliSession session(run.target, static_cast<std::uint8_t>(run.settings.deviceAddress));
    if (const int status = Open(session, run); status != kExitDone) {
        return status;
    }
    const CliArguments& args = *run.arguments;
    const auto outputFailed = [&session] {
        session.Disconnect();
        Error("cannot write the output");
        return kExitFile;
    };
    if (args.csv && !Out(ReadingCsvHeader())) {
        return outputFailed();
    }
    int taken = 0;
    int answered = 0;
    while (!session.Interrupted() && (args.count == 0 || taken < args.count)) {
        const auto started = std::chrono::steady_clock::now();
        bool model = false;
        auto reading = ReadOnce(session, model);
        if (session.Interrupted()) {
            break;
        }
        ++taken;
        if (!reading) {
            Error("no answer to reading " + std::to_string(taken));
        } else {
            ++answered;
            reading->sample.readingNo = static_cast<std::uint16_t>(taken);
            const std::string time = FormatLocalIsoTime(NowMs());
            if (!Out(args.json  ? ReadingJson(time, reading->sample)
                     : args.csv ? ReadingCsvLine(time, reading->sample)
                                : ReadingLine(time, reading->sample))) {
                return outputFailed();
            }
        }
        if (!session.LinkUp()) {
            Error("the connection to " + PortName(run) + " ended");
            return kExitNoAnswer;
        }
        if (args.count != 0 && taken >= args.count) {
            break;
        }
        // About once a second: the time the reading took counts towards the second.
        const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - started);
        if (spent.count() < kIntervalMs) {
            (void)session.Pause(kIntervalMs - static_cast<unsigned>(spent.count()));
        }
    }
    session.Disconnect();
    // Stopping is how a watch without --count ends: the readings so far stand.
    if (taken > 0 && answered == 0 && !session.Interrupted()) {
        return NoAnswer(run, "measurement");
    }
    return kExitDone;
}

int RunClock(const CliRun& run) {
    CCliSession session(run.target, static_cast<std::uint8_t>(run.settings.deviceAddress));
    if (const int status = Open(session, run); status != kExitDone) {
        return status;
    }
    const auto answer = session.Request(CMD_READ_TIME);
    if (!answer || answer->length < TimeRecord::kSize) {
        return NoAnswer(run, "clock", answer ? std::optional<int>(answer->length) : std::nullopt);
    }
    TimeRecord device;
    std::copy_n(answer->payload, TimeRecord::kSize, device.bytes.begin());
    std::optional<TimeRecord> written;
    if (run.arguments->set) {
        const TimeRecord now = LocalTimeNow();
        if (!session.Request(CMD_WRITE_TIME, now.bytes.data(), TimeRecord::kSize)) {
            if (StopRequested(run)) {
                return Stopped(run);
            }
            Error("the device did not confirm the new time");
            return kExitNoAnswer;
        }
        written = now;
    }
    if (run.arguments->json) {
        Out("{\"deviceClock\":" + JsonText(ClockText(device, true)) +
            ",\"set\":" + (written ? JsonText(ClockText(*written, true)) : "null") + "}");
    } else {
        Out("device clock: " + ClockText(device));
        if (written) {
            Out("set to:       " + ClockText(*written));
        }
    }
    return kExitDone;
}

constexpr CliCommand kCommands[] = {
    {{"scan", "[--all-speeds]", "the ports and what answers on them", kOptionAllSpeeds, 0},
     RunScan},
    {{"info", "", "versions and one reading", 0, 0}, RunInfo},
    {{"watch", "[--count N] [--csv]", "readings once a second until stopped",
      kOptionCount | kOptionCsv, 0},
     RunWatch},
    {{"clock", "[--set]", "show the device clock; --set writes the PC's local time", kOptionSet, 0},
     RunClock},
    {{"save", "FILE", "the versions and three records to a settings file", 0, 1}, RunSave},
    {{"diff", "FILE", "what differs between the device and the file", 0, 1}, RunDiff},
    {{"restore", "FILE [--clone] [--yes]",
      "write what differs, read back, verify; asks unless --yes", kOptionClone | kOptionYes, 1},
     RunRestore},
};

} // namespace

std::span<const CliCommand> CliCommands() {
    return kCommands;
}
