#include "SimOptions.h"

#include "LinkMessage.h"
#include "SerialPort.h"
#include "Windows1250.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string_view>

namespace {

constexpr int kMaxDelayMs = 60000;
constexpr int kMinTextPeriodMs = 100;
constexpr int kMaxTextPeriodMs = 86400000;
constexpr int kMaxPort = 255;
// The payload holds the text and its closing zero byte.
constexpr std::size_t kMaxTextBytes = LinkMessage::kPayloadCapacity - 1;

// A whole decimal number in lo..hi, nothing else around it.
template <typename T>
std::optional<T> ParseInteger(std::string_view text, long long lo, long long hi) {
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < lo || value > hi) {
        return std::nullopt;
    }
    return static_cast<T>(value);
}

// A fraction from 0 to 1: digits with at most one decimal point.
std::optional<double> ParseFraction(std::string_view text) {
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string_view::npos ||
        text.find('.') != text.rfind('.') || text == ".") {
        return std::nullopt;
    }
    const double value = std::strtod(std::string(text).c_str(), nullptr);
    if (!std::isfinite(value) || value < 0.0 || value > 1.0) {
        return std::nullopt;
    }
    return value;
}

// Metres per second with at most one decimal, as tenths; the model marker is not a speed.
std::optional<std::int16_t> ParseSpeed(std::string_view text) {
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    std::string_view tenths = point == std::string_view::npos ? "0" : text.substr(point + 1);
    if (whole.empty() || whole.size() > 4 || tenths.size() != 1 ||
        whole.find_first_not_of("0123456789") != std::string_view::npos ||
        tenths.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    long value = std::strtol(std::string(whole).c_str(), nullptr, 10) * 10 + (tenths[0] - '0');
    value = negative ? -value : value;
    if (value < -32768 || value > 32766) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(value);
}

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

} // namespace

std::optional<ListenAddress> ParseListenAddress(std::string_view text) {
    ListenAddress address;
    std::string_view port = text;
    if (text.starts_with('[')) {
        const std::size_t close = text.find("]:");
        if (close == std::string_view::npos || close == 1) {
            return std::nullopt;
        }
        address.host = std::string(text.substr(1, close - 1));
        port = text.substr(close + 2);
    } else if (const std::size_t colon = text.rfind(':'); colon != std::string_view::npos) {
        address.host = std::string(text.substr(0, colon));
        port = text.substr(colon + 1);
        if (address.host.empty() || address.host.find(':') != std::string::npos) {
            return std::nullopt;
        }
    }
    const auto [end, status] =
        std::from_chars(port.data(), port.data() + port.size(), address.port);
    if (port.empty() || status != std::errc() || end != port.data() + port.size() ||
        address.port < 0 || address.port > 65535) {
        return std::nullopt;
    }
    return address;
}

ParsedOptions ParseOptions(int argc, const char* const* argv) {
    ParsedOptions parsed;
    SimOptions& options = parsed.options;
    bool portGiven = false;
    bool periodGiven = false;
    bool baudGiven = false;
    auto fail = [&parsed](std::string message) {
        parsed.outcome = ParsedOptions::Error;
        parsed.error = std::move(message);
        return parsed;
    };

    for (int i = 1; i < argc; ++i) {
        std::string_view name = argv[i];
        std::optional<std::string_view> inlineValue;
        if (const std::size_t equals = name.find('=');
            name.starts_with("--") && equals != name.npos) {
            inlineValue = name.substr(equals + 1);
            name = name.substr(0, equals);
        }
        // The value of an option that takes one: after '=' or as the next argument.
        auto value = [&]() -> std::optional<std::string_view> {
            if (inlineValue) {
                return inlineValue;
            }
            if (i + 1 < argc) {
                return std::string_view(argv[++i]);
            }
            return std::nullopt;
        };
        auto flag = [&](bool& target) {
            if (inlineValue) {
                return false;
            }
            target = true;
            return true;
        };

        if (name == "--help" || name == "-h") {
            parsed.outcome = ParsedOptions::Help;
            return parsed;
        }
        if (name == "--failure" || name == "--silent" || name == "--short" || name == "--pace" ||
            name == "--ignore-stdin" || name == "--verbose") {
            bool& target = name == "--failure"   ? options.failure
                           : name == "--silent"  ? options.silent
                           : name == "--short"   ? options.shortAnswers
                           : name == "--pace"    ? options.pace
                           : name == "--verbose" ? options.verbose
                                                 : options.ignoreInput;
            if (!flag(target)) {
                return fail(std::string(name) + " takes no value");
            }
            continue;
        }

        const bool takesValue = name == "--address" || name == "--link" || name == "--port" ||
                                name == "--state" || name == "--seed" || name == "--model-marker" ||
                                name == "--delay" || name == "--text" || name == "--text-period" ||
                                name == "--corrupt" || name == "--speed" || name == "--baud" ||
                                name == "--writes" || name == "--listen";
        if (!takesValue) {
            return fail(name.starts_with("-") ? "unknown option " + std::string(name)
                                              : "unexpected argument " + Quoted(name));
        }
        const std::optional<std::string_view> given = value();
        if (!given) {
            return fail(std::string(name) + " needs a value");
        }
        const std::string_view v = *given;
        if (name == "--address") {
            const auto address = ParseInteger<std::uint8_t>(v, 0, 255);
            if (!address) {
                return fail("--address must be a whole number from 0 to 255, not " + Quoted(v));
            }
            options.address = *address;
        } else if (name == "--link") {
            if (v.empty()) {
                return fail("--link needs a directory");
            }
            options.linkDirectory = std::string(v);
        } else if (name == "--port") {
            const auto port = ParseInteger<int>(v, 1, kMaxPort);
            if (!port) {
                return fail("--port must be a whole number from 1 to 255, not " + Quoted(v));
            }
            options.port = *port;
            portGiven = true;
        } else if (name == "--state") {
            if (v.empty()) {
                return fail("--state needs a file name");
            }
            options.stateFile = std::string(v);
        } else if (name == "--seed") {
            const auto seed = ParseInteger<std::uint32_t>(v, 0, 4294967295LL);
            if (!seed) {
                return fail("--seed must be a whole number from 0 to 4294967295, not " + Quoted(v));
            }
            options.seed = *seed;
        } else if (name == "--model-marker") {
            if (v == "never") {
                options.modelMarker = ModelMarkerMode::Never;
            } else if (v == "first") {
                options.modelMarker = ModelMarkerMode::First;
            } else if (v == "always") {
                options.modelMarker = ModelMarkerMode::Always;
            } else {
                return fail("--model-marker must be never, first or always, not " + Quoted(v));
            }
        } else if (name == "--writes") {
            if (v == "keep") {
                options.writes = WriteMode::Keep;
            } else if (v == "ignore") {
                options.writes = WriteMode::Ignore;
            } else if (v == "alter") {
                options.writes = WriteMode::Alter;
            } else {
                return fail("--writes must be keep, ignore or alter, not " + Quoted(v));
            }
        } else if (name == "--delay") {
            const auto delay = ParseInteger<int>(v, 0, kMaxDelayMs);
            if (!delay) {
                return fail("--delay must be a whole number of milliseconds from 0 to 60000, "
                            "not " +
                            Quoted(v));
            }
            options.delayMs = *delay;
        } else if (name == "--text") {
            std::string error;
            const std::optional<std::string> encoded = EncodeWindows1250(v, error);
            if (!encoded) {
                return fail("--text cannot be sent: " + error);
            }
            if (encoded->empty()) {
                return fail("--text must not be empty");
            }
            if (encoded->size() > kMaxTextBytes) {
                return fail("--text is " + std::to_string(encoded->size()) +
                            " characters long; a device text holds at most 61");
            }
            options.text = *encoded;
        } else if (name == "--text-period") {
            const auto period = ParseInteger<int>(v, kMinTextPeriodMs, kMaxTextPeriodMs);
            if (!period) {
                return fail("--text-period must be a whole number of milliseconds from 100 to "
                            "86400000, not " +
                            Quoted(v));
            }
            options.textPeriodMs = *period;
            periodGiven = true;
        } else if (name == "--corrupt") {
            const auto fraction = ParseFraction(v);
            if (!fraction) {
                return fail("--corrupt must be a fraction from 0 to 1 (such as 0.25), not " +
                            Quoted(v));
            }
            options.corruptFraction = *fraction;
        } else if (name == "--speed") {
            const auto speed = ParseSpeed(v);
            if (!speed) {
                return fail("--speed must be in m/s with at most one decimal (such as 12.5), "
                            "not " +
                            Quoted(v));
            }
            options.speed = speed;
        } else if (name == "--listen") {
            options.listen = ParseListenAddress(v);
            if (!options.listen) {
                return fail("--listen must be [HOST:]PORT with an IP address and a port from 0 "
                            "to 65535 (such as 4001 or 127.0.0.1:4001), not " +
                            Quoted(v));
            }
        } else if (name == "--baud") {
            const auto baud = ParseInteger<int>(v, 1, std::numeric_limits<int>::max());
            if (!baud || !CSerialPort::SupportsBaudRate(*baud)) {
                return fail("--baud must be a rate a serial port can be set to (such as 9600, "
                            "19200 or 115200), not " +
                            Quoted(v));
            }
            options.baudRate = *baud;
            baudGiven = true;
        }
    }
    if (portGiven && options.linkDirectory.empty()) {
        return fail("--port needs --link: the port is the name of the link");
    }
    if (periodGiven && options.text.empty()) {
        return fail("--text-period needs --text");
    }
    if (baudGiven && !options.pace) {
        return fail(options.listen
                        ? "--baud needs --pace: a connection has no speed of its own"
                        : "--baud needs --pace: a pseudo-terminal has no speed of its own");
    }
    return parsed;
}

std::string ListenOnlyRefusal(const SimOptions& options) {
    if (!options.listen) {
        return "there is no pseudo-terminal here: serve on TCP with --listen [HOST:]PORT "
               "(such as --listen 127.0.0.1:0)";
    }
    return {};
}

const char* HelpText() {
    return R"(Usage: qal-sim [OPTION]...
Simulates a QAL-1P wind-speed sensor on a pseudo-terminal, so that the QAL service
terminal can be tried and tested without a device. The first line of output is the path
of the line (such as /dev/pts/3); open it as a serial port, or use --link. With --listen
the device sits behind a TCP port instead, and the first line is its URL (such as
tcp://127.0.0.1:4001), to which a port of the terminal is mapped.

The device answers every frame with a good checksum sent to its address: version,
measurement, clock and the three settings records (sensor configuration, data reader,
output thresholds), and keeps what is written to it. A read answer carries the record
exactly as last written, every byte. A write is answered with an empty payload under the
same command once stored; a write whose payload is not exactly the record's size, or a
time that is no valid date, gets no answer. Other commands and other addresses get none.
The clock starts at the PC's local time and runs on from whatever time is written.

Each reading follows a gusty wind (repeatable with --seed), held within the measuring
range of the sensor configuration. Its status byte has bit 3 set while the device is in
order, and bits 4, 5, 6 for outputs 1, 2, 3: an output is on while it is active and the
speed lies within its thresholds (both included), or, when it is inverted, while the
speed lies outside them; an inactive output is off. A bit is clear while its output is
on, which the terminal shows as 1.

Line and device:
  --link DIR          create the link DIR/COM1 to the line, so that a terminal started
                      from DIR finds the device behind port 1; removed at exit. An
                      existing entry is never replaced, unless it is a link a killed
                      simulator left (dangling, or to a pseudo-terminal no running
                      simulator holds).
  --port N            name the link COM<N> instead (1 to 255; needs --link)
  --listen [HOST:]PORT
                      serve the device on TCP, the line's bytes as they are, to one
                      client at a time (others wait their turn); HOST is an IP address,
                      127.0.0.1 unless given (0.0.0.0 opens it to every network), PORT 0
                      takes a free one. With --link, DIR/ports.json maps COM1 (or
                      --port) to it instead of a link; the entry goes again at exit
  --address N         the device address (0 to 255, default 31)
  --state FILE        keep the settings records and the clock in FILE, so that they
                      survive a restart; created when missing
  --seed N            seed of the wind and of --corrupt (default 1)
  --speed M/S         hold the wind at this speed (such as 12.5 or -3.0) instead
  --pace              give the line the timing of a serial line (8N1, ten bits a
                      character: 1920 characters a second at 19200 baud) instead of
                      moving every frame at once: a request is taken when its last
                      character has crossed the line, and answers and device texts
                      leave one character time apart
  --baud N            the line's speed for --pace, in bits per second: a rate a serial
                      port can be set to, such as 9600 or 115200 (default 19200, the
                      terminal's default)

Behaviours for tests and training:
  --model-marker WHEN report the model marker (32767) instead of a speed: never, first
                      (default: on the first reading of each session; a pause of 5 s
                      without requests starts a new one) or always
  --failure           report a device failure in every reading
  --silent            never answer (device texts are still sent)
  --delay MS          answer MS milliseconds late (0 to 60000): between a request's
                      last character and the answer's first
  --text TEXT         send TEXT as a device text now and then; UTF-8 here, Windows-1250
                      on the line; at most 61 characters, all of them Windows-1250
  --text-period MS    how often (100 to 86400000, default 10000); the first text goes
                      one period after start
  --corrupt FRACTION  break the checksum of this share of the frames sent (0 to 1)
  --short             cut every answer's payload to half its length
  --writes WHAT       what becomes of a write: keep (default: stored and answered),
                      ignore (neither stored nor answered) or alter (a settings record
                      is stored with its last byte inverted and answered as done)

Other:
  --verbose           log every frame received and sent on standard error
  --ignore-stdin      do not watch standard input
  -h, --help          show this text

Stopping: Ctrl+C, SIGINT, SIGTERM or SIGHUP end the simulator and remove the link. So
does the end of standard input when it is a pipe, or a terminal in whose foreground the
simulator runs (Ctrl+D): a simulator started by a script ends with it. Standard input
that is a file or /dev/null is not watched, nor any with --ignore-stdin. What arrives on
standard input is read and thrown away.

On Windows there is no pseudo-terminal: qal-sim.exe serves only with --listen (and --link
maps the port in DIR/ports.json). Ctrl+C, Ctrl+Break or closing its console stop it;
standard input is not watched.
)";
}
