#include "EventJournal.h"
#include "EventLogText.h"

#include <gtest/gtest.h>

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
