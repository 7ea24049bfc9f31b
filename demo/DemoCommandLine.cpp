#include "DemoCommandLine.h"

std::string QuoteWindowsArgument(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos) {
        return argument;
    }
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes stand for themselves, except before a quote: then each is doubled and the
        // quote escaped.
        quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    // Before the closing quote too.
    quoted.append(2 * backslashes, '\\');
    quoted += '"';
    return quoted;
}

std::string WindowsCommandLine(const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& argument : arguments) {
        if (!line.empty()) {
            line += ' ';
        }
        line += QuoteWindowsArgument(argument);
    }
    return line;
}

std::string WithoutTrailingSeparator(std::string folder) {
    while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/') &&
           folder[folder.size() - 2] != ':') {
        folder.pop_back();
    }
    return folder;
}

std::vector<std::string> DemoSimulatorArguments(const std::string& simulator,
                                                const std::string& settingsFolder, int port) {
    // Not paced: a Windows timer is far too coarse for a character's time on the line, and
    // the demo shows the windows, not the line's speed.
    return {simulator,
            "--listen",
            "127.0.0.1:0",
            "--link",
            WithoutTrailingSeparator(settingsFolder),
            "--port",
            std::to_string(port)};
}
