#include "TerminalTestSupport.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

class EventLogPaneTest : public testing::Test {
protected:
    void SetUp() override {
        dir.WriteConfig(SettingsBytes(1, 19200, 31));
        ASSERT_TRUE(dialog.Create());
    }
    void TearDown() override { dialog.DestroyWindow(); }

    // Appends lines until the log holds `lines` lines.
    void FillTo(int lines) {
        while (dialog.Log().LineCount() < lines) {
            dialog.AppendLog("linia", true);
        }
    }
    QString PaneText() const { return dialog.LogPane()->toPlainText(); }
    int FirstLineInView() const { return dialog.LogPane()->verticalScrollBar()->value(); }

    TestApp app;
    TempAppDir dir;
    TestTerminalDlg dialog{dir.Path()};
};

TEST_F(EventLogPaneTest, PaneShowsTheLogTextLineByLine) {
    dialog.AppendLog("a\r\nb", true);
    dialog.AppendLog(" c", false);
    EXPECT_EQ(dialog.Log().LineCount(), 5);
    EXPECT_EQ(PaneText().split('\n').size(), 5);
    EXPECT_TRUE(PaneText().endsWith(QStringLiteral("\na\nb c")));
    EXPECT_EQ(dialog.GetDlgItemText(1004), dialog.Log().Text());
}

TEST_F(EventLogPaneTest, ViewFollowsTheLastSixLines) {
    QScrollBar* bar = dialog.LogPane()->verticalScrollBar();
    FillTo(6);
    EXPECT_EQ(FirstLineInView(), 0);
    FillTo(7);
    EXPECT_EQ(FirstLineInView(), std::min(1, bar->maximum()));
    FillTo(50);
    EXPECT_EQ(dialog.Log().FirstVisibleLine(), 44);
    EXPECT_EQ(FirstLineInView(), std::min(44, bar->maximum()));
    EXPECT_GT(bar->maximum(), 40) << "the pane shows only a few lines at a time";

    // The user may scroll away; the next entry brings the end back into view.
    bar->setValue(0);
    dialog.AppendLog("nowa", true);
    EXPECT_EQ(FirstLineInView(), std::min(45, bar->maximum()));
}

TEST_F(EventLogPaneTest, ClearsOnlyWhenMoreThanTwoHundredLines) {
    FillTo(200);
    dialog.AppendLog("201", true);
    EXPECT_EQ(dialog.Log().LineCount(), 201);
    dialog.AppendLog("po", true);
    EXPECT_EQ(PaneText().toStdString(), "Clr screen\npo");
    EXPECT_EQ(FirstLineInView(), 0);
}

// Only CR LF breaks a line; a lone CR or LF inside a device text stays within its line, so the
// pane, the line count and the view agree, and the text reads back as it was written.
TEST_F(EventLogPaneTest, LoneCarriageReturnOrLineFeedDoesNotStartALine) {
    const int before = dialog.Log().LineCount();
    dialog.AppendLog("jeden\rdwa\ntrzy\n\r", true);
    EXPECT_EQ(dialog.Log().LineCount(), before + 1);
    EXPECT_EQ(PaneText().split('\n').size(), before + 1);
    EXPECT_EQ(dialog.GetDlgItemText(1004), dialog.Log().Text());

    FillTo(20);
    dialog.AppendLog("a\rb", true);
    EXPECT_EQ(dialog.LogPane()->document()->blockCount(), dialog.Log().LineCount());
    EXPECT_EQ(FirstLineInView(), std::min(dialog.Log().FirstVisibleLine(),
                                          dialog.LogPane()->verticalScrollBar()->maximum()));
}

} // namespace
