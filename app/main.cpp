#include "CTerminalApp.h"
#include "CommandLine.h"
#include "ConsoleStream.h"
#include "DialogBuilder.h"
#include "ProgramArguments.h"
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

std::string SettingsFile() {
    return SettingsDirectory(ExecutableDirectory(), ProcessEnvironment) + "config.cfg";
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
        const std::string file = SettingsFile();
        std::error_code error;
        const bool exists = std::filesystem::exists(PathFromUtf8(file), error);
        return WriteToStream(stdout, HelpText(file, exists)) ? 0 : 1;
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

    CTerminalApp terminal;
    // The program ends when the main window closes: no message loop of our own follows.
    (void)terminal.InitInstance();
    return 0;
}
