#include "EventLogText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A log of `lines` lines, written the way start-up does: the first line continues the empty
// pane, every later one starts a new line.
EventLogText LogWithLines(int lines) {
    EventLogText log;
    log.Append("line 1", false);
    for (int i = 2; i <= lines; ++i) {
        log.Append("line " + std::to_string(i), true);
    }
    return log;
}

int CountPairs(const std::string& text) {
    int count = 0;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        count += (text[i] == '\r' && text[i + 1] == '\n') ? 1 : 0;
    }
    return count;
}

} // namespace

TEST(EventLogText, EmptyLogCountsAsOneLine) {
    const EventLogText log;
    EXPECT_EQ(log.Text(), "");
    EXPECT_EQ(log.LineCount(), 1);
    EXPECT_EQ(log.FirstVisibleLine(), 0);
}

TEST(EventLogText, FirstAppendOnEmptyLog) {
    EventLogText continued;
    continued.Append("Terminal", false);
    EXPECT_EQ(continued.Text(), "Terminal");
    EXPECT_EQ(continued.LineCount(), 1);

    EventLogText newLine;
    newLine.Append("Terminal", true);
    EXPECT_EQ(newLine.Text(), "\r\nTerminal");
    EXPECT_EQ(newLine.LineCount(), 2);
}

TEST(EventLogText, EmptyTextWithNewLineAddsEmptyLine) {
    EventLogText log;
    log.Append("a", false);
    log.Append("", true);
    EXPECT_EQ(log.Text(), "a\r\n");
    EXPECT_EQ(log.LineCount(), 2);
    log.Append("", false);
    EXPECT_EQ(log.LineCount(), 2);
}

TEST(EventLogText, LineBreaksInsideTextCount) {
    EventLogText log;
    log.Append("a", false);
    log.Append("----\r\nWersja terminala : \r\n", true);
    EXPECT_EQ(log.LineCount(), 4);
    // Lone CR or LF are not line breaks of the pane.
    log.Append("x\ry\nz", true);
    EXPECT_EQ(log.LineCount(), 5);
    EXPECT_EQ(log.LineCount(), CountPairs(log.Text()) + 1);
}

TEST(EventLogText, PairFormedAcrossTheEndOfTheLog) {
    EventLogText log;
    log.Append("a\r", false);
    EXPECT_EQ(log.LineCount(), 1);
    log.Append("\nb", false);
    EXPECT_EQ(log.Text(), "a\r\nb");
    EXPECT_EQ(log.LineCount(), 2);

    // A new line after a trailing CR adds its own pair only.
    log.Append("c\r", false);
    log.Append("\nd", true);
    EXPECT_EQ(log.Text(), "a\r\nbc\r\r\n\nd");
    EXPECT_EQ(log.LineCount(), 3);
    EXPECT_EQ(log.LineCount(), CountPairs(log.Text()) + 1);
}

TEST(EventLogText, ClearsOnlyAboveTwoHundredLines) {
    EventLogText full = LogWithLines(200);
    full.Append("next", true);
    EXPECT_EQ(full.LineCount(), 201);
    EXPECT_EQ(full.Text().substr(0, 8), "line 1\r\n");

    full.Append("after", true);
    EXPECT_EQ(full.Text(), "Clr screen\r\nafter");
    EXPECT_EQ(full.LineCount(), 2);

    EventLogText continued = LogWithLines(201);
    continued.Append("after", false);
    EXPECT_EQ(continued.Text(), "Clr screenafter");
    EXPECT_EQ(continued.LineCount(), 1);
}

TEST(EventLogText, OneCallMayPassTheThresholdUntilTheNext) {
    EventLogText log = LogWithLines(199);
    log.Append("a\r\nb\r\nc\r\nd", true);
    EXPECT_EQ(log.LineCount(), 203);
    log.Append("e\r\nf", true);
    EXPECT_EQ(log.Text(), "Clr screen\r\ne\r\nf");
    EXPECT_EQ(log.LineCount(), 3);
}

TEST(EventLogText, ViewShowsTheLastSixLines) {
    const struct {
        int lines;
        int firstVisible;
    } cases[] = {{1, 0}, {6, 0}, {7, 1}, {50, 44}, {201, 195}};
    for (const auto& c : cases) {
        const EventLogText log = LogWithLines(c.lines);
        EXPECT_EQ(log.LineCount(), c.lines);
        EXPECT_EQ(log.FirstVisibleLine(), c.firstVisible) << c.lines << " lines";
    }
}
