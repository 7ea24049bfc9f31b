#include "ReleaseNotes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using std::chrono::day;
using std::chrono::month;
using std::chrono::year;

std::string Notes(const std::string& body) {
    return "# Program\n\nIntro.\n\n## Release notes\n\nNewest first.\n\n" + body +
           "\n## Layout\n\n### 1 (2020-01-01)\n\n* not a release note\n";
}

struct RefusedCase {
    const char* what;
    std::string readme;
    const char* error; // a part of the message
};

TEST(ReleaseNotes, RefusesNotesThatStrayFromTheirForm) {
    const std::vector<RefusedCase> cases = {
        {"no section", "# Program\n\n## Layout\n", "no \"## Release notes\" section"},
        {"no release", Notes(""), "name no release"},
        {"heading without date", Notes("### 7\n\n* a\n"), "line 9: a release's heading"},
        {"impossible date", Notes("### 7 (2026-02-30)\n\n* a\n"), "line 9: a release's heading"},
        {"date in another form", Notes("### 7 (9.12.2026)\n\n* a\n"), "a release's heading"},
        {"version without a digit first", Notes("### v7 (2026-12-09)\n\n* a\n"),
         "a release's heading"},
        {"no items", Notes("### 7 (2026-12-09)\n\n### 6 (2026-11-01)\n\n* a\n"),
         "release 7 says nothing"},
        {"loose text", Notes("### 7 (2026-12-09)\n\nSome words.\n"),
         "line 11: release 7 holds a line that is no \"* \" item"},
        {"indented after a blank line", Notes("### 7 (2026-12-09)\n\n* a\n\n  b\n"),
         "line 13: release 7 holds a line"},
        {"older above newer", Notes("### 7 (2026-01-01)\n\n* a\n\n### 6 (2026-12-09)\n\n* b\n"),
         "release 6 (2026-12-09) is not older than release 7 (2026-01-01)"},
        {"two on one day", Notes("### 7 (2026-12-09)\n\n* a\n\n### 6 (2026-12-09)\n\n* b\n"),
         "release 6 (2026-12-09) is not older"},
        {"named twice", Notes("### 7 (2026-12-09)\n\n* a\n\n### 7 (2026-12-01)\n\n* b\n"),
         "release 7 is named twice"},
    };
    for (const RefusedCase& c : cases) {
        std::string error;
        EXPECT_FALSE(ParseReleaseNotes(c.readme, error)) << c.what;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.what << ": " << error;
    }
}

TEST(ReleaseNotes, TakesItemsWithTheirContinuationsUpToTheNextSection) {
    const std::string readme = Notes("### 7.1 (2026-12-09)\r\n"
                                     "\r\n"
                                     "* Reads `config.cfg`  and\r\n"
                                     "  its links.\r\n"
                                     "- Second item.\r\n"
                                     "\n"
                                     "### 6 (2025-03-04)\n"
                                     "\n"
                                     "* Old.\n");
    std::string error;
    const auto releases = ParseReleaseNotes(readme, error);
    ASSERT_TRUE(releases) << error;
    ASSERT_EQ(releases->size(), 2u); // the heading under "## Layout" is not taken
    EXPECT_EQ((*releases)[0].version, "7.1");
    EXPECT_EQ((*releases)[0].date, year(2026) / month(12) / day(9));
    EXPECT_EQ((*releases)[0].changes,
              (std::vector<std::string>{"Reads config.cfg and its links.", "Second item."}));
    EXPECT_EQ((*releases)[1].version, "6");
    EXPECT_EQ((*releases)[1].changes, std::vector<std::string>{"Old."});
}

TEST(ReleaseNotes, ChangelogEntriesAreSignedOnTheirDayAndWrappedAt80Columns) {
    const std::string longItem =
        "One two three four five six seven eight nine ten eleven twelve thirteen fourteen "
        "fifteen";
    // 76 characters (more bytes): it fits on the first line after "  * ".
    const std::string polish =
        std::string("Zapisz ustawienia urządzenia do pliku… and Porównaj / przywróć z pliku… ") +
        "ąęść";
    const std::vector<Release> releases = {
        {"7", year(2026) / month(12) / day(9), {longItem, polish}},
        {"6",
         year(2024) / month(2) / day(29),
         {"A-word-longer-than-any-line-" + std::string(60, 'x')}},
    };
    const std::string expected =
        "qal-terminal (7) unstable; urgency=medium\n"
        "\n"
        "  * One two three four five six seven eight nine ten eleven twelve thirteen\n"
        "    fourteen fifteen\n"
        "  * " +
        polish +
        "\n"
        "\n"
        " -- Jan Kowalski <jan@example.com>  Wed, 09 Dec 2026 12:00:00 +0000\n"
        "\n"
        "qal-terminal (6) unstable; urgency=medium\n"
        "\n"
        "  * A-word-longer-than-any-line-" +
        std::string(60, 'x') +
        "\n"
        "\n"
        " -- Jan Kowalski <jan@example.com>  Thu, 29 Feb 2024 12:00:00 +0000\n";
    EXPECT_EQ(DebianChangelog("qal-terminal", releases, "Jan Kowalski <jan@example.com>"),
              expected);
}

} // namespace
