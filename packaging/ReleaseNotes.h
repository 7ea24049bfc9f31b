#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One version as the README's release notes describe it.
struct Release {
    std::string version;
    std::chrono::year_month_day date;
    std::vector<std::string> changes; // one item each, on one line, without Markdown code marks
};

// The releases under the README's "## Release notes" heading, newest first: each a heading
// "### <version> (<YYYY-MM-DD>)" followed by "* " items, continued on indented lines. Nothing,
// with the reason (and the line) in error, when the section is missing or strays from that
// form: a package must not ship a changelog that silently lost a note.
std::optional<std::vector<Release>> ParseReleaseNotes(std::string_view readme, std::string& error);

// The changelog of a native Debian package for these releases, newest first, each signed by
// maintainer ("Name <address>") at noon UTC of its date and wrapped at 80 columns.
std::string DebianChangelog(std::string_view package, const std::vector<Release>& releases,
                            std::string_view maintainer);
