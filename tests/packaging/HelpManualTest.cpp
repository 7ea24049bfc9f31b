#include "HelpManual.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(HelpManual, EverySectionOfAHelpText) {
    const std::string help = "Usage: qal-sim [OPTION]... FILE\n"
                             "Simulates a sensor; open it as a serial port, or use --link.\n"
                             "\n"
                             "Each reading follows a gusty wind (repeatable with --seed).\n"
                             "\n"
                             "Line and device:\n"
                             "  --link DIR          create the link DIR/COM1 to the line,\n"
                             "                      removed at exit\n"
                             "  --port=N            name the link COM<N> instead\n"
                             "  --model-marker WHEN report the model marker: never or always\n"
                             "  --speed M/S         such as 12.5 or -3.0\n"
                             "\n"
                             "Other:\n"
                             "  -h, --help          show this text\n"
                             "\n"
                             "Stopping: Ctrl+C ends the simulator,\n"
                             "as does the end of its input.\n"
                             "\n"
                             "A line of its own.\n";
    const std::string expected = ".SH SYNOPSIS\n"
                                 ".B qal-sim\n"
                                 "[\\fIOPTION\\fR]... \\fIFILE\\fR\n"
                                 ".SH DESCRIPTION\n"
                                 "Simulates a sensor; open it as a serial port, or use "
                                 "\\fB\\-\\-link\\fR.\n"
                                 ".PP\n"
                                 "Each reading follows a gusty wind (repeatable with "
                                 "\\fB\\-\\-seed\\fR).\n"
                                 ".SH OPTIONS\n"
                                 ".SS \"Line and device\"\n"
                                 ".TP\n"
                                 "\\fB\\-\\-link\\fR \\fIDIR\\fR\n"
                                 "create the link DIR/COM1 to the line,\n"
                                 "removed at exit\n"
                                 ".TP\n"
                                 "\\fB\\-\\-port\\fR=\\fIN\\fR\n"
                                 "name the link COM<N> instead\n"
                                 ".TP\n"
                                 "\\fB\\-\\-model\\-marker\\fR \\fIWHEN\\fR\n"
                                 "report the model marker: never or always\n"
                                 ".TP\n"
                                 "\\fB\\-\\-speed\\fR \\fIM/S\\fR\n"
                                 "such as 12.5 or \\-3.0\n"
                                 ".SS \"Other\"\n"
                                 ".TP\n"
                                 "\\fB\\-h\\fR, \\fB\\-\\-help\\fR\n"
                                 "show this text\n"
                                 ".SH STOPPING\n"
                                 "Ctrl+C ends the simulator,\n"
                                 "as does the end of its input.\n"
                                 ".PP\n"
                                 "A line of its own.\n";
    std::string error;
    const std::optional<std::string> manual = ManualFromHelp(help, error);
    ASSERT_TRUE(manual) << error;
    EXPECT_EQ(*manual, expected);
}

TEST(HelpManual, RunningTextIsEscapedForRoff) {
    struct Case {
        const char* line;
        const char* roff;
    };
    const std::vector<Case> cases = {
        {"a pseudo-terminal, Windows-1250", "a pseudo-terminal, Windows-1250"},
        {"from -32768 to [-5]", "from \\-32768 to [\\-5]"},
        {"C:\\dir", "C:\\edir"},
        {".hidden files", "\\&.hidden files"},
        {"'quoted' words", "\\&'quoted' words"},
        {"unlike -x or (--all-speeds)", "unlike \\fB\\-x\\fR or (\\fB\\-\\-all\\-speeds\\fR)"},
        {"UTF-8 here, Ctrl+D", "UTF-8 here, Ctrl+D"},
    };
    for (const Case& c : cases) {
        std::string error;
        const std::optional<std::string> manual =
            ManualFromHelp(std::string("Usage: p\n\n") + c.line + "\n", error);
        ASSERT_TRUE(manual) << c.line << ": " << error;
        EXPECT_EQ(*manual, std::string(".SH SYNOPSIS\n.B p\n.SH DESCRIPTION\n") + c.roff + "\n")
            << c.line;
    }
}

TEST(HelpManual, RefusesTextsItCannotReadForSure) {
    struct Case {
        const char* what;
        const char* help;
        const char* error; // a part of the message
    };
    const std::vector<Case> cases = {
        {"empty", "", "line 1: a help text starts with \"Usage: PROGRAM ...\""},
        {"no usage first", "\nqal-sim [OPTION]\n", "line 2: a help text starts with"},
        {"tag across the column",
         "Usage: p\n\nOptions:\n  --one N      first\n  --two N      second\n"
         "  --three-longer X  third\n",
         "line 6: the description does not start in column 16"},
        {"description right of the column",
         "Usage: p\n\nOptions:\n  --one N      first\n  --two N      second\n"
         "  --three N        third\n",
         "line 6: the description does not start in column 16"},
        {"indented line in a paragraph", "Usage: p\n\nWords\n  more words\n",
         "line 4: an indented line in a paragraph"},
        {"continuation before any option", "Usage: p\n\nOptions:\n      text\n  --one  x\n",
         "line 4: neither an option"},
        {"continuation left of the column",
         "Usage: p\n\nOptions:\n  --one N      first\n     more\n",
         "line 5: neither an option (indented, starting with '-') nor its description "
         "continued in column 16"},
        {"no column at all", "Usage: p\n\nOptions:\n  --one N first\n",
         "line 3: no option line shows where the descriptions start"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(ManualFromHelp(c.help, error)) << c.what;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.what << ": " << error;
    }
}

TEST(HelpManual, TemplateTakesTheSectionsAtItsPlaceholderOnly) {
    struct Case {
        const char* manualTemplate;
        std::optional<std::string> page;
    };
    const std::vector<Case> cases = {
        {".TH P 1\n@HELP@\n.SH SEE ALSO\n", ".TH P 1\n.SH X\n.SH SEE ALSO\n"},
        {".TH P 1\n@HELP@", ".TH P 1\n.SH X\n"},
        {".TH P 1\n", std::nullopt},
        {".TH P 1\n@HELP@\n@HELP@\n", std::nullopt},
        {".TH P 1\n @HELP@\n", std::nullopt}, // only a line of its own
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_EQ(FillManualTemplate(c.manualTemplate, ".SH X\n", error), c.page)
            << c.manualTemplate;
        EXPECT_EQ(error.empty(), c.page.has_value()) << c.manualTemplate;
    }
}

} // namespace
