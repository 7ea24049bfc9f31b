#pragma once

#include "Language.h"

#include <optional>
#include <string>
#include <vector>

// What the command line asks for. Qt's own options (-platform, -style, ...) are left for Qt.
struct CommandLine {
    enum class Action {
        Run,     // start the program
        Help,    // print HelpText and end
        Version, // print VersionText and end
        Refuse,  // print error to standard error and end with status 2
    };
    Action action = Action::Run;
    std::string error; // one line, ending in a line break, for Refuse
    // --language pl|en: the language of this run, whatever the language file says.
    std::optional<Language> language;
};

// The arguments after the program name.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// settingsFile: the full path of config.cfg as the program would use it now.
std::string HelpText(const std::string& settingsFile, bool settingsFileExists, Language language);
std::string VersionText();
