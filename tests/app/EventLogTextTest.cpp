#include "EventLogText.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// A log of `lines` lines, written the way start-up does: the first line continues the empty
// log, every later one starts a new line.
EventLogText LogWithLines(int lines) {
    EventLogText log;
    log.Append("line 1", false);
    for (int i = 2; i <= lines; ++i) {
        log.Append("line " + std::to_string(i), true);
    }
    return log;
}

} // namespace

TEST(EventLogText, AppendJoinsTextAndCountsLineBreaks) {
    const struct {
        const char* name;
        std::vector<std::pair<std::string, bool>> appends;
        std::string text;
        int lines;
    } cases[] = {
        {"empty log", {}, "", 1},
        {"first text continues the empty line", {{"Terminal", false}}, "Terminal", 1},
        {"first text on a new line", {{"Terminal", true}}, "\r\nTerminal", 2},
        {"empty text on a new line", {{"a", false}, {"", true}}, "a\r\n", 2},
        {"empty text continued", {{"a", false}, {"", false}}, "a", 1},
        {"pairs inside a text", {{"a", false}, {"--\r\nW : \r\n", true}}, "a\r\n--\r\nW : \r\n", 4},
        {"lone CR and LF", {{"x\ry\nz", false}}, "x\ry\nz", 1},
        {"pair across the end", {{"a\r", false}, {"\nb", false}}, "a\r\nb", 2},
        {"new line after a CR", {{"a\r", false}, {"\nb", true}}, "a\r\r\n\nb", 2},
    };
    for (const auto& c : cases) {
        EventLogText log;
        for (const auto& [text, newLine] : c.appends) {
            log.Append(text, newLine);
        }
        EXPECT_EQ(log.Text(), c.text) << c.name;
        EXPECT_EQ(log.LineCount(), c.lines) << c.name;
    }
}

TEST(EventLogText, ClearsOnlyAboveTwoHundredLines) {
    EventLogText log = LogWithLines(200);
    log.Append("next", true);
    EXPECT_EQ(log.LineCount(), 201);
    EXPECT_EQ(log.Text().substr(0, 8), "line 1\r\n");

    log.Append("after", true);
    EXPECT_EQ(log.Text(), "Clr screen\r\nafter");
    EXPECT_EQ(log.LineCount(), 2);

    EventLogText continued = LogWithLines(201);
    continued.Append("after", false);
    EXPECT_EQ(continued.Text(), "Clr screenafter");
    EXPECT_EQ(continued.LineCount(), 1);

    // One call may take the log past the threshold; line breaks inside it count for the next.
    EventLogText multiLine = LogWithLines(199);
    multiLine.Append("a\r\nb\r\nc", true);
    EXPECT_EQ(multiLine.LineCount(), 202);
    multiLine.Append("e\r\nf", true);
    EXPECT_EQ(multiLine.Text(), "Clr screen\r\ne\r\nf");
    EXPECT_EQ(multiLine.LineCount(), 3);
}

TEST(EventLogText, ViewShowsTheLastSixLines) {
    const struct {
        int lines;
        int firstVisible;
    } cases[] = {{1, 0}, {6, 0}, {7, 1}, {50, 44}, {201, 195}};
    for (const auto& c : cases) {
        EXPECT_EQ(LogWithLines(c.lines).FirstVisibleLine(), c.firstVisible) << c.lines << " lines";
    }
}
