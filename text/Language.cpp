#include "Language.h"

std::string_view LanguageCode(Language language) {
    return language == Language::English ? "en" : "pl";
}

std::optional<Language> LanguageFromCode(std::string_view code) {
    if (code == "pl") {
        return Language::Polish;
    }
    if (code == "en") {
        return Language::English;
    }
    return std::nullopt;
}
