#include "CliOutput.h"

#include "MeasurementAnswer.h"
#include "PortCandidate.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

std::string JsonText(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

const char* OutcomeWord(ProbeResult::Outcome outcome) {
    switch (outcome) {
    case ProbeResult::Outcome::Answered:
        return "answered";
    case ProbeResult::Outcome::Silent:
        return "silent";
    case ProbeResult::Outcome::Busy:
        return "busy";
    case ProbeResult::Outcome::NotProbed:
        return "not probed";
    case ProbeResult::Outcome::Unusable:
        break;
    }
    return "unusable";
}

namespace {

std::string Why(const ProbeResult& result) {
    switch (result.use.kind) {
    case PortUse::Kind::HeldOpen:
        return "open in " + result.use.holderName + " (pid " +
               std::to_string(result.use.holderPid) + "), left alone";
    case PortUse::Kind::Console:
        return "the system console, left alone";
    case PortUse::Kind::NoUart:
        return "no UART behind this name, left alone";
    case PortUse::Kind::Free:
        break;
    }
    switch (result.outcome) {
    case ProbeResult::Outcome::Answered: {
        char number[16];
        std::snprintf(number, sizeof number, "%u", result.versionNumber);
        return "\"" + result.versionText + "\", version " + number;
    }
    case ProbeResult::Outcome::Silent:
        return result.bytesSeen ? "no answer, only other data (another speed or device?)"
                                : "no answer";
    case ProbeResult::Outcome::Busy:
        return "held by another program, left alone";
    case ProbeResult::Outcome::NotProbed:
        return "Bluetooth, not probed";
    case ProbeResult::Outcome::Unusable:
        break;
    }
    return result.reason;
}

std::string Adapter(const PortCandidate& candidate) {
    std::string adapter = candidate.maker;
    if (!candidate.product.empty() && candidate.product.find(adapter) == std::string::npos) {
        adapter += adapter.empty() ? candidate.product : " " + candidate.product;
    } else if (!candidate.product.empty()) {
        adapter = candidate.product;
    }
    if (!candidate.serialNumber.empty()) {
        adapter += (adapter.empty() ? "serial " : ", serial ") + candidate.serialNumber;
    }
    return adapter;
}

} // namespace

std::string ScanLine(const ProbeResult& result) {
    std::string line = CandidateName(result.candidate);
    const std::string adapter = Adapter(result.candidate);
    if (!adapter.empty()) {
        line += " [" + adapter + "]";
    }
    line += ": " + std::string(OutcomeWord(result.outcome));
    if (result.outcome == ProbeResult::Outcome::Answered ||
        result.outcome == ProbeResult::Outcome::Silent) {
        line += " at " + std::to_string(result.baudRate);
    }
    return line + " - " + Why(result);
}

std::string ScanJson(const std::vector<ProbeResult>& results) {
    std::string out = "{\"ports\":[";
    for (std::size_t i = 0; i < results.size(); ++i) {
        const ProbeResult& r = results[i];
        const PortCandidate& c = r.candidate;
        out += i == 0 ? "" : ",";
        out += "{\"name\":" + JsonText(CandidateName(c)) +
               ",\"port\":" + (c.port > 0 ? std::to_string(c.port) : "null") +
               ",\"device\":" + JsonText(c.reached.empty() ? c.device : c.reached) +
               ",\"maker\":" + JsonText(c.maker) + ",\"product\":" + JsonText(c.product) +
               ",\"serialNumber\":" + JsonText(c.serialNumber) +
               ",\"outcome\":" + JsonText(OutcomeWord(r.outcome)) +
               ",\"baud\":" + std::to_string(r.baudRate);
        if (r.outcome == ProbeResult::Outcome::Answered) {
            out += ",\"versionNumber\":" + std::to_string(r.versionNumber) +
                   ",\"versionText\":" + JsonText(r.versionText);
        }
        out += ",\"reason\":" + JsonText(Why(r)) + "}";
    }
    return out + "]}";
}

std::optional<Reading> ReadingFromAnswer(const LinkMessage& answer) {
    constexpr std::size_t kMarkerLength = 2;
    if (answer.length < kMarkerLength) {
        return std::nullopt;
    }
    MeasurementAnswer bytes;
    std::copy_n(answer.payload, std::min<std::size_t>(answer.length, MeasurementAnswer::kSize),
                bytes.bytes.begin());
    Reading reading;
    if (bytes.isModelMarker()) {
        reading.modelMarker = true;
        return reading;
    }
    if (answer.length <= MeasurementAnswer::kStatusOffset) {
        return std::nullopt; // a speed without its status byte
    }
    reading.sample.speedTenths = bytes.speed();
    reading.sample.status = bytes.status();
    reading.sample.failure = !bytes.deviceInOrder();
    for (int output = 1; output <= 3; ++output) {
        reading.sample.outputs[static_cast<std::size_t>(output - 1)] = bytes.outputOn(output);
    }
    return reading;
}

std::string SpeedText(std::int16_t tenths) {
    const int magnitude = std::abs(static_cast<int>(tenths));
    char text[16];
    std::snprintf(text, sizeof text, "%s%d.%d", tenths < 0 ? "-" : "", magnitude / 10,
                  magnitude % 10);
    return text;
}

std::string ClockText(const TimeRecord& time, bool iso) {
    char text[48];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u%c%02u:%02u:%02u", unsigned{time.year()},
                  unsigned{time.month()}, unsigned{time.day()}, iso ? 'T' : ' ',
                  unsigned{time.hour()}, unsigned{time.minute()}, unsigned{time.second()});
    return text;
}

namespace {

std::string Outputs(const ReadingSample& reading, char separator) {
    std::string text;
    for (std::size_t i = 0; i < 3; ++i) {
        text += (i == 0 ? "" : std::string(1, separator)) + (reading.outputs[i] ? "1" : "0");
    }
    return text;
}

} // namespace

std::string ReadingLine(const std::string& time, const ReadingSample& reading) {
    return time + "  #" + std::to_string(reading.readingNo) + "  " +
           SpeedText(reading.speedTenths) + " m/s  outputs " + Outputs(reading, ' ') +
           (reading.failure ? "  DEVICE FAILURE" : "");
}

std::string ReadingJson(const std::string& time, const ReadingSample& reading) {
    return "{\"time\":" + JsonText(time) + ",\"reading\":" + std::to_string(reading.readingNo) +
           ",\"speed\":" + SpeedText(reading.speedTenths) +
           ",\"status\":" + std::to_string(reading.status) +
           ",\"deviceInOrder\":" + (reading.failure ? "false" : "true") + ",\"outputs\":[" +
           Outputs(reading, ',') + "]}";
}
