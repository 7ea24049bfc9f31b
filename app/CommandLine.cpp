#include "CommandLine.h"

#include "ProgramVersion.h"

#include <array>
#include <string>
#include <string_view>

namespace {

constexpr const char* kProgram = "qal-terminal";

// Options of QApplication, as Qt takes them: with one dash or two; those with a value take it
// from the next argument or after '='.
constexpr std::array<std::string_view, 15> kQtValueOptions = {
    "platform",
    "platformpluginpath",
    "platformtheme",
    "plugin",
    "qwindowgeometry",
    "qwindowicon",
    "qwindowtitle",
    "display",
    "geometry",
    "title",
    "icon",
    "name",
    "session",
    "style",
    "stylesheet",
};
constexpr std::array<std::string_view, 6> kQtFlagOptions = {
    "reverse", "widgetcount", "nograb", "dograb", "sync", "qmljsdebugger",
};

template <std::size_t N>
bool Contains(const std::array<std::string_view, N>& names, std::string_view name) {
    for (const std::string_view known : names) {
        if (known == name) {
            return true;
        }
    }
    return false;
}

CommandLine Refuse(const std::string& what) {
    return {CommandLine::Action::Refuse,
            std::string(kProgram) + ": " + what + "; see '" + kProgram + " --help'\n"};
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine result;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "-h" || argument == "--help") {
            return {CommandLine::Action::Help, {}};
        }
        if (argument == "--version") {
            // Help wins wherever it stands, as users expect of both together.
            result.action = CommandLine::Action::Version;
            continue;
        }
        if (argument.size() < 2 || argument[0] != '-') {
            return Refuse("unexpected argument '" + argument + "'");
        }
        // Qt's options: one dash or two, the value after '=' or in the next argument.
        std::string_view name(argument);
        name.remove_prefix(name.compare(0, 2, "--") == 0 ? 2 : 1);
        const std::size_t equals = name.find('=');
        const bool inlineValue = equals != std::string_view::npos;
        if (inlineValue) {
            name = name.substr(0, equals);
        }
        if (Contains(kQtFlagOptions, name)) {
            continue;
        }
        if (!Contains(kQtValueOptions, name)) {
            return Refuse("unknown option '" + argument + "'");
        }
        if (!inlineValue) {
            if (i + 1 >= arguments.size()) {
                return Refuse("option '" + argument + "' needs a value");
            }
            ++i;
        }
    }
    return result;
}

std::string HelpText(const std::string& settingsFile, bool settingsFileExists) {
#if defined(_WIN32)
    const std::string ports = "Ports are the system's COM ports.\n";
#else
    const std::string directory = settingsFile.substr(0, settingsFile.find_last_of('/') + 1);
    const std::string ports =
        "Port COMn is the device that a link named COMn in " + directory +
        " points to,\n"
        "otherwise /dev/ttyS(n-1). To give a USB adapter a port number, for example COM3:\n"
        "  ln -s /dev/serial/by-id/<adapter> " +
        directory + "COM3\n";
#endif
    return std::string("Usage: ") + kProgram +
           " [OPTION]...\n"
           "Service terminal of the QAL wind-speed sensor (\"Program kontrolny QAL\").\n"
           "\n"
           "  -h, --help     show this help and exit\n"
           "      --version  show the version and exit\n"
           "Qt's own options (-platform, -style, -display, ...) are passed on to Qt.\n"
           "\n"
           "Settings file: " +
           settingsFile +
           (settingsFileExists ? "\n" : " (made when the settings are first saved)\n") + ports;
}

std::string VersionText() {
    return std::string(kProgram) + " " + std::to_string(kTerminalVersion) + "\n";
}
