#include "CTerminalApp.h"
#include "CommandLine.h"
#include "ConsoleStream.h"
#include "DialogBuilder.h"
#include "LanguageFile.h"
#include "ProgramArguments.h"
#include "ProgramLanguage.h"
#include "SettingsLocation.h"
#include "Utf8Path.h"

#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {

std::string SettingsFolder() {
    return SettingsDirectory(ExecutableDirectory(), ProcessEnvironment);
}

} // namespace

int main(int argc, char* argv[]) {
    // Before any window: help and version must work without a display.
    const std::vector<std::string> arguments = ProgramArguments(argc, argv);
    const CommandLine command = ParseCommandLine(std::vector<std::string>(
        arguments.begin() + std::min<std::size_t>(arguments.size(), 1), arguments.end()));
    if (command.action != CommandLine::Action::Run) {
        AttachToParentConsole();
    }
    switch (command.action) {
    case CommandLine::Action::Help: {
        const std::string folder = SettingsFolder();
        const std::string file = folder + "config.cfg";
        std::error_code error;
        const bool exists = std::filesystem::exists(PathFromUtf8(file), error);
        const Language language = ChooseLanguage(command.language, LoadLanguageFile(folder));
        return WriteToStream(stdout, HelpText(file, exists, language)) ? 0 : 1;
    }
    case CommandLine::Action::Version:
        return WriteToStream(stdout, VersionText()) ? 0 : 1;
    case CommandLine::Action::Refuse:
        (void)WriteToStream(stderr, command.error); // the status says it as well
        return 2;
    case CommandLine::Action::Run:
        break;
    }

    QApplication application(argc, argv);
    // Lets the desktop match the window to the menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(QAL_APP_ID));
    QApplication::setWindowIcon(DialogBuilder::AppIcon());
    // Polish unless the command line or the language file says otherwise; a translation that is
    // missing leaves its texts as they are, and is said once.
    const CProgramLanguage language(
        ChooseLanguage(command.language, LoadLanguageFile(SettingsFolder())),
        QtTranslationFolders(QCoreApplication::applicationDirPath()));
    if (!language.Problem().isEmpty()) {
        (void)WriteToStream(stderr, "qal-terminal: " + language.Problem().toStdString() + "\n");
    }

    CTerminalApp terminal;
    // The program ends when the main window closes: no message loop of our own follows.
    (void)terminal.InitInstance();
    return 0;
}
