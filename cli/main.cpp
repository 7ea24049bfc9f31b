#include "CliArguments.h"
#include "CliCommands.h"
#include "CliTexts.h"
#include "ConfigFile.h"
#include "ConsoleStream.h"
#include "LanguageFile.h"
#include "NetworkEndpoint.h"
#include "NetworkPortsFile.h"
#include "ProgramArguments.h"
#include "ProgramLanguage.h"
#include "SettingsLocation.h"
#include "UiText.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#if defined(_WIN32)
#include "ConsoleInterrupt.h"
#else
#include "StopSignal.h"

#include <unistd.h>
#endif

namespace {

void Error(const std::string& line) {
    (void)WriteToStream(stderr, "qal-cli: " + UiTextUtf8(line) + "\n"); // nowhere left to report it
}

std::string WithSeparator(std::string directory) {
    if (!directory.empty() && directory.back() != '/' && directory.back() != '\\') {
        directory += '/';
    }
    return directory;
}

// Everything but the last word on paths the system cannot use.
int Run(int argc, char* argv[]) {
    std::vector<CliCommandShape> shapes;
    for (const CliCommand& command : CliCommands()) {
        shapes.push_back(command.shape);
    }
    const std::vector<std::string> arguments = ProgramArguments(argc, argv);
    const CliArguments args = ParseCliArguments(
        std::vector<std::string>(arguments.begin() + std::min<std::size_t>(arguments.size(), 1),
                                 arguments.end()),
        shapes);
    QCoreApplication app(argc, argv);
#if defined(LC_MESSAGES)
    // Qt takes the user's locale; the system's reasons (strerror) stay in qal-cli's language.
    static_cast<void>(std::setlocale(LC_MESSAGES, "C"));
#endif
    const std::string settingsDirectory =
        args.settingsDirectory ? WithSeparator(*args.settingsDirectory)
                               : SettingsDirectory(ExecutableDirectory(), ProcessEnvironment);
    // The terminal's language, unless --language says otherwise: every line for people, the
    // usage too. A missing translation of Qt's own texts is no news for a script.
    CProgramLanguage language(ChooseLanguage(args.language, LoadLanguageFile(settingsDirectory)),
                              QtTranslationFolders(QCoreApplication::applicationDirPath()));
    if (language.GetLanguage() == Language::Polish &&
        !language.AddTranslation(QStringLiteral(":/i18n/qal-cli_pl.qm"), CliTexts())) {
        Error(language.Problem().toStdString());
    }
    if (args.help) {
        // Help that never arrived (a full disk, a closed pipe) is no success either.
        return WriteToStream(stdout, UiTextUtf8(CliUsage(shapes))) ? kExitDone : kExitFile;
    }
    if (!args.error.empty()) {
        Error(args.error);
        return kExitUsage;
    }

    CliRun run;
    run.arguments = &args;
    run.settingsDirectory = settingsDirectory;
    // config.cfg gives what the command line leaves open, as the terminal would use it.
    if (!(args.port || args.device) || !args.baudRate || !args.address) {
        const std::string path = run.settingsDirectory + "config.cfg";
        const ConfigLoadResult loaded = LoadConfigFile(path, run.settings);
        std::error_code error;
        if (loaded != ConfigLoadResult::Read && std::filesystem::exists(path, error)) {
            // The terminal would start on its defaults; a script is better told.
            Error("cannot read " + path + " (not a settings file of 12 bytes)");
            return kExitFile;
        }
        if (loaded != ConfigLoadResult::Read && !(args.port || args.device) &&
            args.command != "scan") {
            Error("no settings in " + path + ", using COM" + std::to_string(run.settings.port));
        }
    }
    run.settings.port = args.port.value_or(run.settings.port);
    run.settings.baudRate = args.baudRate.value_or(run.settings.baudRate);
    run.settings.deviceAddress = args.address.value_or(run.settings.deviceAddress);
    run.target = CliLinkTarget{run.settingsDirectory, run.settings.port, run.settings.baudRate};

    // The link opens ports by number through COM<n> links and ports.json: a device given by its
    // path or URL gets port 1 of a private folder, gone when the program ends.
    QTemporaryDir privateFolder;
    if (args.device && LooksLikeNetworkUrl(*args.device)) {
        std::string why;
        if (!ParseNetworkUrl(*args.device, &why)) {
            Error("--device: " + why);
            return kExitUsage;
        }
        const std::string folder = WithSeparator(privateFolder.path().toStdString());
        NetworkPorts ports;
        ports.endpoints[1] = *args.device;
        std::error_code error;
        if (!privateFolder.isValid() ||
            SaveNetworkPorts(folder, ports, error) != FileReplaceResult::Written) {
            Error("cannot map a private port to " + *args.device);
            return kExitFile;
        }
        run.target = CliLinkTarget{folder, 1, run.settings.baudRate};
    } else if (args.device) {
#if defined(_WIN32)
        Error("--device takes a path on POSIX systems only; use --port or a URL");
        return kExitUsage;
#else
        const std::string folder = WithSeparator(privateFolder.path().toStdString());
        if (!privateFolder.isValid() ||
            ::symlink(args.device->c_str(), (folder + "COM1").c_str()) != 0) {
            Error("cannot make a private link to " + *args.device);
            return kExitFile;
        }
        run.target = CliLinkTarget{folder, 1, run.settings.baudRate};
#endif
    }

#if !defined(_WIN32)
    CStopSignal stopSignal;
    std::string signalError;
    if (!stopSignal.Install(signalError)) {
        Error(signalError);
        return kExitFile;
    }
    CCliStop stop(stopSignal.Fd());
#else
    CConsoleInterrupt interrupt;
    std::string interruptError;
    if (!interrupt.Install(interruptError)) {
        Error(interruptError);
        return kExitFile;
    }
    CCliStop stop(-1, interrupt.Event());
#endif
    run.stop = &stop;
    for (const CliCommand& command : CliCommands()) {
        if (command.shape.name == args.command) {
            const int status = command.run(run);
            if (status == kExitDone && std::ferror(stdout) != 0) {
                Error("cannot write the output");
                return kExitFile;
            }
            return status;
        }
    }
    return kExitUsage; // not reached: the parser knows only these commands
}

} // namespace

int main(int argc, char* argv[]) {
    try {
        return Run(argc, argv);
    } catch (const std::filesystem::filesystem_error& error) {
        // A path the system cannot use (a name it cannot spell): a message, not a crash.
        Error(std::string("cannot use a path: ") + error.what());
        return kExitFile;
    }
}
