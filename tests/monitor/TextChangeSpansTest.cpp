#include "TextChangeSpans.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Edges of a text whose characters are 6 wide, but 'W' 10 wide and 'i' 2 wide.
std::vector<double> Edges(const std::u16string& text) {
    std::vector<double> edges{0};
    for (const char16_t c : text) {
        edges.push_back(edges.back() + (c == u'W' ? 10 : c == u'i' ? 2 : 6));
    }
    return edges;
}

struct SpanCase {
    const char* name;
    std::u16string before;
    std::u16string after;
    std::vector<TextSpan> spans;
};

TEST(TextChangeSpans, CoverWhatLooksDifferentAndNothingElse) {
    const SpanCase cases[] = {
        {"same text", u"abc 12", u"abc 12", {}},
        {"one digit", u"abc 12", u"abc 13", {{30, 36}}},
        {"two places apart", u"a 1, b 1", u"a 2, b 3", {{12, 18}, {42, 48}}},
        {"neighbours join", u"a 19", u"a 20", {{12, 24}}},
        {"longer: to the end", u"a 9 b", u"a 10 b", {{12, 36}}},
        {"shorter: the old tail too", u"a 10 b", u"a 9 b", {{12, 36}}},
        {"wider glyph shifts the tail", u"a a b", u"a W b", {{12, 34}}},
        {"from nothing", u"", u"ab", {{0, 12}}},
        {"to nothing", u"ab", u"", {{0, 12}}},
    };
    for (const SpanCase& c : cases) {
        EXPECT_EQ(ChangedSpans(c.before, Edges(c.before), c.after, Edges(c.after)), c.spans)
            << c.name;
    }
}

TEST(TextChangeSpans, EdgesThatDoNotFitTheTextMeanAllOfIt) {
    const std::u16string text = u"abc";
    EXPECT_EQ(ChangedSpans(text, {0, 6}, u"abd", Edges(u"abd")), (std::vector<TextSpan>{{0, 18}}));
}

} // namespace
