#include "EventJournal.h"
#include "EventLogText.h"
#include "FileError.h"
#include "OddFiles.h"
#include "TempDirectory.h"
#include "TimeZone.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Lines(const CEventJournal& journal) {
    std::stringstream text;
    journal.Write(text);
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);) {
        lines.push_back(line);
    }
    return lines;
}

} // namespace

// The journal keeps every line the pane shows, and those the pane cleared, each with its time.
TEST(EventJournal, KeepsLinesThePaneClearedSplitsAndContinuesThem) {
    CEventJournal journal;
    EventLogText pane;
    for (int i = 0; i < 250; ++i) {
        const std::string line = "wiersz " + std::to_string(i);
        pane.Append(line, true);
        journal.Append(line, true);
    }
    EXPECT_EQ(pane.Text().find("wiersz 0\r\n"), std::string::npos) << "the pane started over";
    journal.Append("Wersja: \r\nQAL", true);
    journal.Append(", wersja 3", false);
    const std::vector<std::string> lines = Lines(journal);
    ASSERT_EQ(lines.size(), 252u);
    const std::regex stamped(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}  wiersz 0)");
    EXPECT_TRUE(std::regex_match(lines[0], stamped)) << lines[0];
    EXPECT_EQ(lines[250].substr(25), "Wersja: ");
    EXPECT_EQ(lines[251].substr(25), "QAL, wersja 3");
}

TEST(EventJournal, BoundedWithTheDroppedCountAtTheTop) {
    CEventJournal journal(3);
    for (int i = 0; i < 5; ++i) {
        journal.Append("w" + std::to_string(i), true, 0);
    }
    const std::vector<std::string> lines = Lines(journal);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "(pominięto 2 najstarszych wierszy)");
    EXPECT_EQ(lines[1].substr(25), "w2");
    EXPECT_EQ(journal.Dropped(), 2u);
}

TEST(EventJournal, ACapacityOfNoneStillKeepsTheLastLine) {
    CEventJournal journal(0);
    journal.Append("w0", true, 0);
    journal.Append("w1\r\nw2", true, 0);
    EXPECT_EQ(journal.Count(), 1u);
    EXPECT_EQ(journal.Dropped(), 2u);
    EXPECT_EQ(Lines(journal).back().substr(25), "w2");
}

// Local time as a clock in Warsaw shows it, in winter and in summer, and on both sides of the
// hour that autumn's change of time repeats.
TEST(EventJournal, LinesCarryTheLocalTimeOfTheirZone) {
    const CScopedTimeZone warsaw("Europe/Warsaw");
    if (!warsaw.Available()) {
        GTEST_SKIP() << "no time zone data for Europe/Warsaw";
    }
    CEventJournal journal;
    journal.Append("zima", true, 1'768'478'400'250'000);  // 2026-01-15 12:00:00.250 UTC
    journal.Append("lato", true, 1'784'116'800'250'000);  // 2026-07-15 12:00:00.250 UTC
    journal.Append("przed", true, 1'792'888'200'000'000); // 2026-10-25 00:30 UTC
    journal.Append("po", true, 1'792'891'800'000'000);    // 2026-10-25 01:30 UTC
    EXPECT_EQ(Lines(journal), (std::vector<std::string>{
                                  "2026-01-15 13:00:00.250  zima",
                                  "2026-07-15 14:00:00.250  lato",
                                  "2026-10-25 02:30:00.000  przed",
                                  "2026-10-25 02:30:00.000  po",
                              }));
}

// The saved journal replaces only a regular file or none; anything else in its place stays, and
// the reason says what it is.
TEST(EventJournal, SavedOnlyAsARegularFile) {
    CEventJournal journal;
    journal.Append("Połączono", true, 0);
    std::stringstream expected;
    journal.Write(expected);
    CTempDirectory dir("qal-journal");
    std::error_code error;
    const std::string path = dir.Join("dziennik.txt");
    std::ofstream(path) << "an older journal, longer than the new one";
    ASSERT_TRUE(SaveJournalFile(journal, path, error)) << error.message();
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), expected.str());

    for (const OddFile kind : kAllOddFiles) {
        SCOPED_TRACE(OddFileName(kind));
        const std::string odd = dir.Join(OddFileName(kind));
        std::string why;
        if (!MakeOddFile(kind, odd, why)) {
            std::cout << "skipped: " << why << "\n";
            continue;
        }
        const auto type = std::filesystem::status(odd).type();
        EXPECT_FALSE(SaveJournalFile(journal, odd, error));
        EXPECT_EQ(FileReasonText(error),
                  kind == OddFile::Folder ? "To jest katalog" : "To nie jest zwykły plik");
        EXPECT_EQ(std::filesystem::status(odd).type(), type);
    }
    EXPECT_FALSE(SaveJournalFile(journal, dir.Join("no/such/folder.txt"), error));
    EXPECT_TRUE(error);
}
