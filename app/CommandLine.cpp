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

// The language a --language among the arguments names, for help: what else they hold is of no
// concern once help is asked for.
std::optional<Language> LanguageAmong(const std::vector<std::string>& arguments) {
    std::optional<Language> language;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::optional<Language> named;
        if (arguments[i].starts_with("--language=")) {
            named = LanguageFromCode(arguments[i].substr(arguments[i].find('=') + 1));
        } else if (arguments[i] == "--language" && i + 1 < arguments.size()) {
            named = LanguageFromCode(arguments[++i]);
        }
        if (named) {
            language = named;
        }
    }
    return language;
}

CommandLine Refuse(const std::string& what) {
    CommandLine refused;
    refused.action = CommandLine::Action::Refuse;
    refused.error = std::string(kProgram) + ": " + what + "; see '" + kProgram + " --help'\n";
    return refused;
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine result;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "-h" || argument == "--help") {
            return {CommandLine::Action::Help, {}, LanguageAmong(arguments)};
        }
        if (argument == "--version") {
            // Help wins wherever it stands, as users expect of both together.
            result.action = CommandLine::Action::Version;
            continue;
        }
        if (argument.size() < 2 || argument[0] != '-') {
            return Refuse("unexpected argument '" + argument + "'");
        }
        if (argument == "--language" || argument.starts_with("--language=")) {
            const bool inlineCode = argument != "--language";
            if (!inlineCode && i + 1 >= arguments.size()) {
                return Refuse("option '--language' needs a value");
            }
            const std::string code =
                inlineCode ? argument.substr(argument.find('=') + 1) : arguments[++i];
            result.language = LanguageFromCode(code);
            if (!result.language) {
                return Refuse("option '--language' takes pl or en, not '" + code + "'");
            }
            continue;
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

namespace {

// The help in one language; {file} and {dir} stand for the settings file and its folder.
struct HelpWords {
    const char* head;
    const char* fileLine; // followed by the file name
    const char* notMadeYet;
    const char* ports;
};

constexpr HelpWords kEnglishHelp = {
    "Usage: qal-terminal [OPTION]...\n"
    "Service terminal of the QAL wind-speed sensor (\"Program kontrolny QAL\").\n"
    "\n"
    "  -h, --help     show this help and exit\n"
    "      --version  show the version and exit\n"
    "      --language pl|en\n"
    "                 the language of this run; the window menu's \"Język / Language\"\n"
    "                 chooses it for every run (Polish unless chosen)\n"
    "Qt's own options (-platform, -style, -display, ...) are passed on to Qt.\n"
    "\n",
    "Settings file: ",
    " (made when the settings are first saved)",
#if defined(_WIN32)
    "Ports are the system's COM ports.\n",
#else
    "Port COMn is the device that a link named COMn in {dir} points to,\n"
    "otherwise /dev/ttyS(n-1). To give a USB adapter a port number, for example COM3:\n"
    "  ln -s /dev/serial/by-id/<adapter> {dir}COM3\n",
#endif
};

constexpr HelpWords kPolishHelp = {
    "Użycie: qal-terminal [OPCJA]...\n"
    "Terminal serwisowy czujnika prędkości wiatru QAL (\"Program kontrolny QAL\").\n"
    "\n"
    "  -h, --help     pokazuje tę pomoc i kończy\n"
    "      --version  pokazuje wersję i kończy\n"
    "      --language pl|en\n"
    "                 język tego uruchomienia; \"Język / Language\" w menu okna\n"
    "                 wybiera go na stałe (bez wyboru: polski)\n"
    "Opcje samego Qt (-platform, -style, -display, ...) trafiają do Qt.\n"
    "\n",
    "Plik ustawień: ",
    " (powstanie przy pierwszym zapisie ustawień)",
#if defined(_WIN32)
    "Porty to porty COM systemu.\n",
#else
    "Port COMn to urządzenie, na które wskazuje dowiązanie COMn w {dir},\n"
    "a bez niego /dev/ttyS(n-1). Aby nadać adapterowi USB numer portu, np. COM3:\n"
    "  ln -s /dev/serial/by-id/<adapter> {dir}COM3\n",
#endif
};

std::string ReplaceAll(std::string text, std::string_view what, const std::string& with) {
    for (std::size_t at = text.find(what); at != std::string::npos;
         at = text.find(what, at + with.size())) {
        text.replace(at, what.size(), with);
    }
    return text;
}

} // namespace

std::string HelpText(const std::string& settingsFile, bool settingsFileExists, Language language) {
    const HelpWords& words = language == Language::English ? kEnglishHelp : kPolishHelp;
    const std::string directory = settingsFile.substr(0, settingsFile.find_last_of("/\\") + 1);
    return std::string(words.head) + words.fileLine + settingsFile +
           (settingsFileExists ? "" : words.notMadeYet) + "\n" +
           ReplaceAll(words.ports, "{dir}", directory);
}

std::string VersionText() {
    return std::string(kProgram) + " " + std::to_string(kTerminalVersion) + "\n";
}
