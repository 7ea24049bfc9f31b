#include "ReleaseNotes.h"

#include "TextLines.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

constexpr std::string_view kSectionHeading = "## Release notes";
constexpr std::string_view kReleaseHeading = "### ";
constexpr std::size_t kWidth = 80;

std::string AtLine(std::size_t number, const std::string& what) {
    return "line " + std::to_string(number) + ": " + what;
}

// A heading ends the section only at its own level or above.
bool EndsSection(std::string_view line) {
    return line.starts_with("# ") || line.starts_with("## ");
}

bool IsItem(std::string_view line) {
    return line.starts_with("* ") || line.starts_with("- ");
}

// A version of a native package: a digit first, then what Debian allows without a revision.
bool IsVersion(std::string_view text) {
    return !text.empty() && text.front() >= '0' && text.front() <= '9' &&
           std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                      c == '.' || c == '+' || c == '~';
           });
}

std::optional<std::chrono::year_month_day> ParseDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
        return std::nullopt;
    }
    int parts[3] = {0, 0, 0};
    const std::size_t starts[3] = {0, 5, 8};
    const std::size_t lengths[3] = {4, 2, 2};
    for (int i = 0; i < 3; ++i) {
        for (const char c : text.substr(starts[i], lengths[i])) {
            if (c < '0' || c > '9') {
                return std::nullopt;
            }
            parts[i] = parts[i] * 10 + (c - '0');
        }
    }
    const std::chrono::year_month_day date{std::chrono::year(parts[0]),
                                           std::chrono::month(static_cast<unsigned>(parts[1])),
                                           std::chrono::day(static_cast<unsigned>(parts[2]))};
    if (!date.ok()) {
        return std::nullopt;
    }
    return date;
}

std::string FormatDate(const std::chrono::year_month_day& date) {
    char text[16]; // room for any year the type holds
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return text;
}

// "<version> (<YYYY-MM-DD>)"
std::optional<Release> ParseReleaseHeading(std::string_view text) {
    const std::size_t space = text.find(' ');
    if (space == std::string_view::npos || text.substr(space).size() != 13 ||
        text.substr(space, 2) != " (" || !text.ends_with(')')) {
        return std::nullopt;
    }
    const std::string_view version = text.substr(0, space);
    const std::optional<std::chrono::year_month_day> date = ParseDate(text.substr(space + 2, 10));
    if (!IsVersion(version) || !date) {
        return std::nullopt;
    }
    return Release{std::string(version), *date, {}};
}

// An item's text as plain words: Markdown's code marks go, so do doubled spaces.
void AppendWords(std::string& item, std::string_view text) {
    for (const char c : text) {
        if (c == '`') {
            continue;
        }
        if (c == ' ' && (item.empty() || item.back() == ' ')) {
            continue;
        }
        item += c;
    }
    if (!item.empty() && item.back() != ' ') {
        item += ' ';
    }
}

} // namespace

std::optional<std::vector<Release>> ParseReleaseNotes(std::string_view readme, std::string& error) {
    const std::vector<std::string_view> lines = SplitLines(readme);
    std::size_t index = 0;
    while (index < lines.size() && Trim(lines[index]) != kSectionHeading) {
        ++index;
    }
    if (index == lines.size()) {
        error = "no \"" + std::string(kSectionHeading) + "\" section";
        return std::nullopt;
    }

    std::vector<Release> releases;
    bool inItem = false; // an item takes indented lines until a blank line
    for (++index; index < lines.size() && !EndsSection(lines[index]); ++index) {
        const std::string_view line = lines[index];
        const std::size_t number = index + 1;
        if (Trim(line).empty()) {
            inItem = false;
            continue;
        }
        if (line.starts_with(kReleaseHeading)) {
            std::optional<Release> release =
                ParseReleaseHeading(Trim(line.substr(kReleaseHeading.size())));
            if (!release) {
                error = AtLine(number, "a release's heading is \"### <version> (<YYYY-MM-DD>)\", "
                                       "not \"" +
                                           std::string(line) + "\"");
                return std::nullopt;
            }
            releases.push_back(std::move(*release));
            inItem = false;
            continue;
        }
        if (releases.empty()) {
            continue; // words on the notes themselves, before the first release
        }
        std::vector<std::string>& changes = releases.back().changes;
        if (IsItem(line)) {
            changes.emplace_back();
            AppendWords(changes.back(), line.substr(2));
            inItem = true;
        } else if (inItem && Indent(line) > 0) {
            AppendWords(changes.back(), Trim(line));
        } else {
            error = AtLine(number, "release " + releases.back().version +
                                       " holds a line that is no \"* \" item nor part of one");
            return std::nullopt;
        }
    }

    if (releases.empty()) {
        error = "the release notes name no release";
        return std::nullopt;
    }
    for (std::size_t i = 0; i < releases.size(); ++i) {
        Release& release = releases[i];
        for (std::string& change : release.changes) {
            change = std::string(Trim(change));
        }
        std::erase_if(release.changes, [](const std::string& change) { return change.empty(); });
        if (release.changes.empty()) {
            error = "release " + release.version + " says nothing about what changed";
            return std::nullopt;
        }
        for (std::size_t j = 0; j < i; ++j) {
            if (releases[j].version == release.version) {
                error = "release " + release.version + " is named twice";
                return std::nullopt;
            }
        }
        // Newest first, each on a day of its own: Debian's tools take the top entry as the
        // latest, and one with no newer date than the entry below it as a mistake.
        if (i > 0 && release.date >= releases[i - 1].date) {
            error = "release " + release.version + " (" + FormatDate(release.date) +
                    ") is not older than release " + releases[i - 1].version + " (" +
                    FormatDate(releases[i - 1].date) + ") above it";
            return std::nullopt;
        }
    }
    return releases;
}

std::string DebianChangelog(std::string_view package, const std::vector<Release>& releases,
                            std::string_view maintainer) {
    static constexpr std::array<const char*, 7> kDays = {"Sun", "Mon", "Tue", "Wed",
                                                         "Thu", "Fri", "Sat"};
    static constexpr std::array<const char*, 12> kMonths = {
        "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::string out;
    for (const Release& release : releases) {
        if (!out.empty()) {
            out += '\n';
        }
        out += std::string(package) + " (" + release.version + ") unstable; urgency=medium\n\n";
        for (const std::string& change : release.changes) {
            out += Fill(change, kWidth, "  * ", "    ");
        }
        const unsigned weekday =
            std::chrono::weekday(std::chrono::sys_days(release.date)).c_encoding();
        char date[40];
        // Noon UTC is the same day in nearly every time zone.
        std::snprintf(date, sizeof date, "%s, %02u %s %04d 12:00:00 +0000", kDays[weekday],
                      static_cast<unsigned>(release.date.day()),
                      kMonths[static_cast<unsigned>(release.date.month()) - 1],
                      static_cast<int>(release.date.year()));
        out += "\n -- " + std::string(maintainer) + "  " + date + '\n';
    }
    return out;
}
