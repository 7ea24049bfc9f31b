#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One member of a JSON object as a small settings file holds it: its key, and its value as a
// string, a truth value, or (anything else) the value's own text, kept as written.
struct FlatJsonMember {
    enum class Kind { String, Boolean, Other };

    std::string key;
    Kind kind = Kind::Other;
    std::string text;   // String: the decoded UTF-8; Other: the value's JSON text
    bool truth = false; // Boolean

    bool operator==(const FlatJsonMember&) const = default;
};

// The members of one JSON object, in file order; nothing, with the reason and its line in
// error, when the text is no JSON object or has anything after it.
std::optional<std::vector<FlatJsonMember>> ParseFlatJsonObject(std::string_view text,
                                                               std::string& error);

// A string as a JSON string literal, quotes included; control characters escaped, the rest
// as UTF-8.
std::string JsonQuoted(std::string_view text);
