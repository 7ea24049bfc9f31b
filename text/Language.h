#pragma once

#include <optional>
#include <string_view>

// The languages the program speaks: Polish, its own, and English on request.
enum class Language {
    Polish,
    English,
};

// "pl" and "en", as the command line and the language file write them.
std::string_view LanguageCode(Language language);
std::optional<Language> LanguageFromCode(std::string_view code);
