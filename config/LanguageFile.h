#pragma once

#include "Language.h"

#include <optional>
#include <string>
#include <system_error>

// The program's language lives in a small file of its own beside config.cfg ("en" or "pl" and a
// line break), never in config.cfg, whose twelve bytes do not change.
inline constexpr const char* kLanguageFileName = "language.txt";

// What the language file in the settings folder (ending in a separator, UTF-8) names: nothing
// when it is missing, unreadable, not a regular file or names no language of the program.
// Reading never waits, whatever stands in the file's place.
std::optional<Language> LoadLanguageFile(const std::string& settingsDirectory);

// Writes the choice through the one way files are replaced, making the folder first when it is
// missing. False, with the system's reason in error, when it could not be written.
bool SaveLanguageFile(const std::string& settingsDirectory, Language language,
                      std::error_code& error);

// The language of this run: the command line's, else the file's, else Polish.
Language ChooseLanguage(std::optional<Language> commandLine, std::optional<Language> file);
