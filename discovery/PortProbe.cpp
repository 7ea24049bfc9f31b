#include "PortProbe.h"

#include "DeviceCommands.h"
#include "FrameParser.h"
#include "LinkWorker.h"
#include "NetworkLine.h"
#include "SerialPort.h"
#include "Windows1250.h"

#include <algorithm>
#include <memory>
#include <system_error>
#include <thread>

#if !defined(_WIN32)
#include <poll.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;

// The speeds a serial adapter commonly offers, fastest first.
constexpr int kCommonSpeeds[] = {115200, 57600, 38400, 19200, 9600, 4800, 2400, 1200};

// Waits until the port has something to read or the time is up. Reads never wait, so on
// Windows a short sleep stands in for the wait; a try lasts at most a second and a half.
void WaitReadable(const ILinePort& port, Clock::duration left) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(left).count();
    if (ms <= 0) {
        return;
    }
#if defined(_WIN32)
    (void)port;
    std::this_thread::sleep_for(std::chrono::milliseconds(std::min<long long>(ms, 20)));
#else
    pollfd readable{port.NativeHandle(), POLLIN, 0};
    // EINTR or an error ends this wait early; the caller reads, finds nothing and waits again
    // until its deadline.
    (void)::poll(&readable, 1, static_cast<int>(ms));
#endif
}

// Opens the candidate's line: a network one for a URL, bounded by the try and its cancel;
// otherwise the serial port. opened says whether it is open; null, with the reason, for a URL
// that names no endpoint.
std::unique_ptr<ILinePort> OpenLine(const PortCandidate& candidate, const ProbeSettings& settings,
                                    int baudRate, bool& opened, std::string& error) {
    opened = false;
    if (LooksLikeNetworkUrl(candidate.device)) {
        const std::optional<NetworkEndpoint> endpoint = ParseNetworkUrl(candidate.device, &error);
        if (!endpoint) {
            return nullptr;
        }
        NetworkLineOptions options;
        options.openLimit = settings.tryLimit;
        options.resolver = settings.resolver;
        auto line = std::make_unique<CNetworkLine>(*endpoint, options);
        line->SetCancelFlag(settings.cancel);
        opened = line->Open(candidate.port, baudRate) != 0;
        return line;
    }
    auto port = std::make_unique<CSerialPort>(settings.settingsDirectory);
    port->SetVisiting(true);
    port->SetCancelFlag(settings.cancel);
#if !defined(_WIN32)
    if (!candidate.device.empty()) {
        opened = port->OpenDevice(candidate.device, candidate.port, baudRate) != 0;
        return port;
    }
#endif
    opened = port->Open(candidate.port, baudRate) != 0;
    return port;
}

// One try at one speed; the result's outcome is Answered, Silent, Busy or Unusable.
ProbeResult TryAt(const PortCandidate& candidate, const ProbeSettings& settings, int baudRate) {
    const Clock::time_point start = Clock::now();
    // Closing takes a moment too; the answer is awaited only until shortly before the limit.
    const Clock::time_point deadline = start + settings.tryLimit - std::chrono::milliseconds(30);
    ProbeResult result;
    result.candidate = candidate;
    result.baudRate = baudRate;
    std::string error;
    bool opened = false;
    const std::unique_ptr<ILinePort> line = OpenLine(candidate, settings, baudRate, opened, error);
    if (!line) {
        result.outcome = ProbeResult::Outcome::Unusable;
        result.reason = error;
        return result;
    }
    ILinePort& port = *line;
    if (!opened) {
        result.outcome =
            port.Failure().busy ? ProbeResult::Outcome::Busy : ProbeResult::Outcome::Unusable;
        result.reason = port.Failure().reason;
        return result;
    }
    LinkMessage request;
    request.address = settings.address;
    request.command = CMD_READ_VERSION;
    // A write that did not go out ends like a device that does not answer.
    (void)SendFrame(request, port);

    result.outcome = ProbeResult::Outcome::Silent;
    std::uint8_t store[FrameParser::kCapacity] = {};
    FrameParser parser(store);
    char buffer[256];
    const auto cancelled = [&settings] {
        return settings.cancel != nullptr && settings.cancel->load() != 0;
    };
    while (Clock::now() < deadline && result.outcome == ProbeResult::Outcome::Silent &&
           !cancelled()) {
        const int n = port.Read(buffer, sizeof buffer);
        if (n <= 0) {
            if (port.LineGone()) {
                result.outcome = ProbeResult::Outcome::Unusable;
                result.reason = port.Failure().reason;
                break;
            }
            // In short steps while a cancel can come.
            WaitReadable(port, settings.cancel == nullptr
                                   ? deadline - Clock::now()
                                   : std::min<Clock::duration>(deadline - Clock::now(),
                                                               std::chrono::milliseconds(50)));
            continue;
        }
        result.bytesSeen = true;
        for (int i = 0; i < n; ++i) {
            LinkMessage answer;
            if (!parser.Feed(buffer[i]) || !DecodeFrame(parser.Buffer(), answer)) {
                continue;
            }
            if (answer.command != CMD_READ_VERSION || answer.address != settings.address ||
                answer.length < 1) {
                continue; // device texts and strays are not the answer
            }
            result.outcome = ProbeResult::Outcome::Answered;
            result.versionNumber = answer.payload[0];
            result.versionText = DecodeDeviceText(answer.payload + 1, answer.length - 1u);
            break;
        }
    }
    port.Close();
    result.took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    return result;
}

// Where the candidate is opened on POSIX; on Windows a name that nothing looks at.
std::string CandidatePath(const PortCandidate& candidate, const ProbeSettings& settings) {
    if (LooksLikeNetworkUrl(candidate.device)) {
        return {}; // no device here for another program to hold
    }
#if defined(_WIN32)
    (void)settings;
    return "COM" + std::to_string(candidate.port);
#else
    return candidate.device.empty()
               ? CSerialPort::DevicePath(settings.settingsDirectory, candidate.port)
               : candidate.device;
#endif
}

} // namespace

std::vector<int> ProbeSpeeds(int configured, bool allSpeeds) {
    std::vector<int> speeds{configured};
    if (allSpeeds) {
        for (const int speed : kCommonSpeeds) {
            if (speed != configured && CSerialPort::SupportsBaudRate(speed)) {
                speeds.push_back(speed);
            }
        }
    }
    return speeds;
}

namespace {

// A port someone else uses is left alone; any other is tried at each speed in turn.
ProbeResult ProbeUnlessUsed(const PortCandidate& candidate, const ProbeSettings& settings,
                            const PortUse& use) {
    const Clock::time_point start = Clock::now();
    ProbeResult result;
    result.candidate = candidate;
    if (use.kind != PortUse::Kind::Free) {
        result.use = use;
        result.baudRate = settings.baudRate;
        result.outcome = use.kind == PortUse::Kind::NoUart ? ProbeResult::Outcome::Unusable
                                                           : ProbeResult::Outcome::Busy;
        return result;
    }
    if (candidate.dialsOut && !settings.dialOut) {
        result.outcome = ProbeResult::Outcome::NotProbed;
        result.baudRate = settings.baudRate;
        return result;
    }
    bool bytesSeen = false;
    for (const int speed : ProbeSpeeds(settings.baudRate, settings.allSpeeds)) {
        if (settings.cancel != nullptr && settings.cancel->load() != 0) {
            break;
        }
        result = TryAt(candidate, settings, speed);
        bytesSeen = bytesSeen || result.bytesSeen;
        // Busy and missing ports are the same at every speed; only a refused speed is worth
        // going on from.
        if (result.outcome == ProbeResult::Outcome::Answered ||
            result.outcome == ProbeResult::Outcome::Busy ||
            (result.outcome == ProbeResult::Outcome::Unusable && speed == settings.baudRate &&
             CSerialPort::SupportsBaudRate(speed))) {
            break;
        }
    }
    if (result.outcome == ProbeResult::Outcome::Silent) {
        result.bytesSeen = bytesSeen;
        result.baudRate = settings.baudRate;
    }
    result.took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    return result;
}

} // namespace

ProbeResult ProbePort(const PortCandidate& candidate, const ProbeSettings& settings) {
    return ProbeUnlessUsed(candidate, settings,
                           LookAtPorts({CandidatePath(candidate, settings)}, settings.roots)[0]);
}

std::vector<ProbeResult> ScanPorts(const std::vector<PortCandidate>& candidates,
                                   const ProbeSettings& settings) {
    std::vector<ProbeResult> results(candidates.size());
    // Before any thread opens a port of its own, which would count as held.
    std::vector<std::string> paths;
    for (const PortCandidate& candidate : candidates) {
        paths.push_back(CandidatePath(candidate, settings));
    }
    const std::vector<PortUse> uses = LookAtPorts(paths, settings.roots);
    std::vector<std::thread> workers;
    workers.reserve(candidates.size());
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        try {
            workers.emplace_back([&results, &candidates, &settings, &uses, i] {
                results[i] = ProbeUnlessUsed(candidates[i], settings, uses[i]);
            });
        } catch (const std::system_error& error) {
            // No thread for this one: it is tried here, after the others have started.
            (void)error;
            results[i] = ProbeUnlessUsed(candidates[i], settings, uses[i]);
        }
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    return results;
}
