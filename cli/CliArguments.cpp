#include "CliArguments.h"

#include "SerialPort.h"

#include <algorithm>
#include <charconv>

namespace {

// A whole decimal number within [low, high], or nothing.
std::optional<int> Number(const std::string& text, int low, int high) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || ptr != end || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

struct CommandOption {
    std::string_view name;
    CliOption flag;
};

constexpr CommandOption kCommandOptions[] = {
    {"--count", kOptionCount},          {"--csv", kOptionCsv},     {"--set", kOptionSet},
    {"--all-speeds", kOptionAllSpeeds}, {"--clone", kOptionClone}, {"--yes", kOptionYes},
};

// The language the last valid "--language X" before any "--" names; for help, which ends the
// parsing before the options are read.
std::optional<Language> LanguageFrom(const std::vector<std::string>& arguments) {
    std::optional<Language> language;
    for (std::size_t i = 0; i + 1 < arguments.size() && arguments[i] != "--"; ++i) {
        if (arguments[i] == "--language") {
            if (const std::optional<Language> named = LanguageFromCode(arguments[++i])) {
                language = named;
            }
        }
    }
    return language;
}

CliArguments Refuse(CliArguments arguments, std::string error) {
    arguments.error = std::move(error);
    return arguments;
}

} // namespace

CliArguments ParseCliArguments(const std::vector<std::string>& arguments,
                               std::span<const CliCommandShape> commands) {
    CliArguments result;
    // Asking for help is never a usage error, whatever else the line holds.
    for (const std::string& arg : arguments) {
        if (arg == "--") {
            break;
        }
        if (arg == "-h" || arg == "--help") {
            result.help = true;
            result.language = LanguageFrom(arguments);
            return result;
        }
    }
    unsigned given = 0; // command options seen, checked against the command at the end
    std::vector<std::string> words;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        const auto value = [&]() -> const std::string* {
            return i + 1 < arguments.size() ? &arguments[++i] : nullptr;
        };
        if (optionsEnded) {
            words.push_back(arg); // a file whose name starts with '-'
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--json") {
            result.json = true;
        } else if (arg == "--csv") {
            result.csv = true;
            given |= kOptionCsv;
        } else if (arg == "--set") {
            result.set = true;
            given |= kOptionSet;
        } else if (arg == "--all-speeds") {
            result.allSpeeds = true;
            given |= kOptionAllSpeeds;
        } else if (arg == "--clone") {
            result.clone = true;
            given |= kOptionClone;
        } else if (arg == "--yes") {
            result.yes = true;
            given |= kOptionYes;
        } else if (arg == "--language") {
            const std::string* code = value();
            if (code == nullptr) {
                return Refuse(result, arg + " needs a value");
            }
            result.language = LanguageFromCode(*code);
            if (!result.language) {
                return Refuse(result, "--language takes pl or en, not " + *code);
            }
        } else if (arg == "--port" || arg == "--baud" || arg == "--address" || arg == "--count" ||
                   arg == "--device" || arg == "--settings") {
            const std::string* text = value();
            if (text == nullptr) {
                return Refuse(result, arg + " needs a value");
            }
            if (arg == "--device" || arg == "--settings") {
                if (text->empty()) {
                    return Refuse(result, arg + " needs a value");
                }
                (arg == "--device" ? result.device : result.settingsDirectory) = *text;
                continue;
            }
            std::optional<int> number;
            if (arg == "--port") {
                number = result.port = Number(*text, 1, 255);
            } else if (arg == "--address") {
                number = result.address = Number(*text, 0, 255);
            } else if (arg == "--count") {
                number = Number(*text, 1, 1000000000);
                result.count = number.value_or(0);
                given |= kOptionCount;
            } else {
                number = Number(*text, 1, 4000000);
                if (!number || !CSerialPort::SupportsBaudRate(*number)) {
                    return Refuse(result, "--baud " + *text +
                                              ": not a speed the port can take (such as 9600, "
                                              "19200 or 115200)");
                }
                result.baudRate = number;
            }
            if (!number) {
                const std::string range = arg == "--port"      ? " (1 to 255)"
                                          : arg == "--address" ? " (0 to 255)"
                                                               : "";
                return Refuse(result, arg + " " + *text + ": not a valid number" + range);
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            return Refuse(result, "unknown option " + arg);
        } else {
            words.push_back(arg);
        }
    }
    if (result.port && result.device) {
        return Refuse(result, "--port and --device exclude each other");
    }
    if (words.empty()) {
        return Refuse(result, "no command given (try --help)");
    }
    const auto shape = std::find_if(commands.begin(), commands.end(),
                                    [&](const CliCommandShape& c) { return c.name == words[0]; });
    if (shape == commands.end()) {
        return Refuse(result, "unknown command " + words[0]);
    }
    result.command = words[0];
    for (const CommandOption& option : kCommandOptions) {
        if ((given & option.flag) != 0 && (shape->options & option.flag) == 0) {
            return Refuse(result, std::string(option.name) + " does not go with " + result.command);
        }
    }
    if (result.csv && result.json) {
        return Refuse(result, "--csv and --json exclude each other");
    }
    result.files.assign(words.begin() + 1, words.end());
    if (static_cast<int>(result.files.size()) > shape->files) {
        return Refuse(result, "unexpected argument " + result.files[shape->files]);
    }
    if (static_cast<int>(result.files.size()) < shape->files) {
        return Refuse(result, result.command + " needs a file");
    }
    return result;
}

std::string CliUsage(std::span<const CliCommandShape> commands) {
    std::string text =
        "Usage: qal-cli [--port N | --device PATH] [--baud B] [--address A]\n"
        "               [--settings DIR] [--json] COMMAND [--] [FILE]\n"
        "Talks to a QAL-1P wind-speed sensor over a serial line or the network, with\n"
        "the QAL service terminal's settings unless told otherwise.\n\nCommands:\n";
    for (const CliCommandShape& command : commands) {
        std::string head = "  " + std::string(command.name);
        if (!command.synopsis.empty()) {
            head += " " + std::string(command.synopsis);
        }
        constexpr std::size_t kSummaryColumn = 30;
        if (head.size() + 2 > kSummaryColumn) {
            head += "\n"; // a long synopsis: the summary on a line of its own, in its column
            head.append(kSummaryColumn, ' ');
        } else {
            head.resize(kSummaryColumn, ' ');
        }
        text += head + std::string(command.summary) + "\n";
    }
    text += "\nOptions:\n"
            "  --port N          port COM<N> (1 to 255), as the terminal names it\n"
            "  --device PATH     the serial device itself, such as /dev/ttyUSB0, or a\n"
            "                    network port: rfc2217://HOST:PORT or tcp://HOST:PORT\n"
            "  --baud B          line speed in bits per second\n"
            "  --address A       device address (0 to 255)\n"
            "  --settings DIR    the folder of config.cfg and the COM<n> links\n"
            "                    (default: the terminal's)\n"
            "  --json            one JSON document (watch: one JSON line per reading)\n"
            "  --language pl|en  the language of the messages (default: the terminal's)\n"
            "  -h, --help        show this text\n"
            "  --                what follows is a file, even when it starts with -\n"
            "\nA FILE of - is standard input (diff, restore --yes) or standard output (save).\n"
            "\nWithout --port or --device, the port, speed and address come from the\n"
            "terminal's config.cfg; --baud and --address override them.\n"
            "\nExit status: 0 done, 1 the device did not answer or refused, 2 usage,\n"
            "3 a file could not be read, written or used (also a settings file of another\n"
            "sensor without --clone), 4 a record read back after a restore is not as written,\n"
            "130 stopped with Ctrl+C (143 with SIGTERM); watch ends with 0 when stopped.\n";
    return text;
}
