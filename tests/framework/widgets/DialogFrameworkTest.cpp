#include "WidgetTestSupport.h"

#include "CDialog.h"
#include "DataExchange.h"
#include "MessageBoxTypes.h"
#include "ResourceIds.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

// A dialog that records the commands and timer ticks it receives.
class RecordingDlg : public CDialog {
public:
    RecordingDlg() : CDialog(IDD_WAIT) {}

    bool OnCmdMsg(unsigned id) override {
        commands.push_back(id);
        return CDialog::OnCmdMsg(id);
    }
    void OnTimer(unsigned id) override {
        ticks.push_back(id);
        KillTimer(id);
    }

    std::vector<unsigned> commands;
    std::vector<unsigned> ticks;
};

TEST(MessageBoxSeam, RealBoxShowsTextIconAndButtonsAndReturnsTheAnswer) {
    ASSERT_EQ(AfxGetApp(), nullptr) << "no test application: the real box is shown";
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
    WhenModalOpens([&](QWidget& window) {
        auto& box = dynamic_cast<QMessageBox&>(window);
        text = box.text();
        icon = box.icon();
        buttons = static_cast<int>(box.buttons().size());
        QTest::mouseClick(box.button(QMessageBox::No), Qt::LeftButton);
    });
    EXPECT_EQ(AfxMessageBox("Czy aktualizować czas ?", MB_YESNO), IDNO);
    EXPECT_EQ(text.toStdString(), "Czy aktualizować czas ?");
    EXPECT_EQ(icon, QMessageBox::Warning) << "boxes that name no icon get the exclamation icon";
    EXPECT_EQ(buttons, 2);

    WhenModalOpens([](QWidget& window) { QTest::keyClick(&window, Qt::Key_Escape); });
    EXPECT_EQ(AfxMessageBox("Urządzenie nie odpowiada"), IDANSWER_OK);
}

TEST(MessageBoxSeam, YesNoBoxIsLeftOnlyByYesOrNo) {
    for (const bool byEsc : {true, false}) {
        SCOPED_TRACE(byEsc ? "Esc" : "close box");
        bool stayedOpen = false;
        bool hasCloseBox = true;
        WhenModalOpens([&](QWidget& window) {
            auto& box = dynamic_cast<QMessageBox&>(window);
            hasCloseBox = box.windowFlags().testFlag(Qt::WindowCloseButtonHint);
            if (byEsc) {
                QTest::keyClick(box.button(QMessageBox::No), Qt::Key_Escape);
            } else {
                box.close();
            }
            QApplication::processEvents();
            stayedOpen = box.isVisible();
            QTest::mouseClick(box.button(QMessageBox::Yes), Qt::LeftButton);
        });
        EXPECT_EQ(AfxMessageBox("Czy aktualizować czas ?", MB_YESNO), IDYES);
        EXPECT_TRUE(stayedOpen);
        EXPECT_FALSE(hasCloseBox);
    }
    // A box with Cancel still ends on Esc, with Cancel.
    WhenModalOpens([](QWidget& window) { QTest::keyClick(&window, Qt::Key_Escape); });
    EXPECT_EQ(AfxMessageBox("?", MB_YESNOCANCEL), IDANSWER_CANCEL);
}

TEST(MessageBoxSeam, IconRules) {
    EXPECT_EQ(EffectiveMessageBoxIcon(MB_OK), unsigned{MB_ICONEXCLAMATION});
    EXPECT_EQ(EffectiveMessageBoxIcon(MB_YESNOCANCEL), unsigned{MB_ICONEXCLAMATION});
    EXPECT_EQ(EffectiveMessageBoxIcon(MB_ABORTRETRYIGNORE), 0u);
    EXPECT_EQ(EffectiveMessageBoxIcon(MB_RETRYCANCEL), 0u);
    EXPECT_EQ(EffectiveMessageBoxIcon(MB_RETRYCANCEL | MB_ICONHAND), unsigned{MB_ICONHAND});
}

TEST(PostedCommands, ArriveInOrderAlsoWhileAnotherDialogIsModal) {
    RecordingDlg target;
    ASSERT_TRUE(target.Create());
    target.PostCommand(101);
    target.PostCommand(103);
    target.SetTimer(7, 10);

    std::vector<unsigned> seenWhileModal;
    std::vector<unsigned> ticksWhileModal;
    WhenModalOpens(
        [&](QWidget& modal) {
            ProcessEventsUntil(
                [&] { return target.commands.size() == 2 && !target.ticks.empty(); });
            seenWhileModal = target.commands;
            ticksWhileModal = target.ticks;
            QTest::keyClick(&modal, Qt::Key_Escape);
        },
        target.GetWindow());
    CDialog other(IDD_WAIT);
    EXPECT_EQ(other.DoModal(), IDCANCEL);

    EXPECT_EQ(seenWhileModal, (std::vector<unsigned>{101, 103}));
    EXPECT_EQ(ticksWhileModal, (std::vector<unsigned>{7}));
    target.DestroyWindow();
}

TEST(WindowTimers, KilledTimerNeverTicks) {
    RecordingDlg target;
    ASSERT_TRUE(target.Create());
    target.SetTimer(1, 5);
    target.SetTimer(2, 5);
    target.KillTimer(1);
    ProcessEventsUntil([&] { return !target.ticks.empty(); });
    QTest::qWait(30);
    EXPECT_EQ(target.ticks, (std::vector<unsigned>{2}));
    target.DestroyWindow();
}

// The main window's template lends its readout edit to a field under test.
class FieldDlg : public CDialog {
public:
    FieldDlg() : CDialog(IDD_TERMINAL) {}
    void DoDataExchange(CDataExchange& dx) override {
        if (useText) {
            DDX_Text(dx, IDC_SPEED, text);
            DDV_MaxChars(dx, text, 4);
        } else {
            DDX_Text(dx, IDC_SPEED, value);
            DDV_MinMax(dx, value, 5, 20);
        }
        ++exchangesCompleted;
    }
    QLineEdit& Edit() { return *static_cast<QLineEdit*>(GetDlgItem(IDC_SPEED)); }

    bool useText = false;
    std::int16_t value = 12;
    std::string text;
    int exchangesCompleted = 0;
};

class DataExchangeBinding : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dlg.Create()); }
    void TearDown() override { dlg.DestroyWindow(); }
    TestApp app;
    FieldDlg dlg;
};

TEST_F(DataExchangeBinding, IntegerFieldShowsChecksAndFocusesOnFailure) {
    EXPECT_EQ(dlg.Edit().text().toStdString(), "12");

    dlg.Edit().setText(QStringLiteral(" 15 "));
    EXPECT_TRUE(dlg.UpdateData(true));
    EXPECT_EQ(dlg.value, 15);

    struct Case {
        const char* text;
        const char* message;
    };
    const Case failures[] = {
        {"12a", "Please enter an integer."},
        {"", "Please enter an integer."},
        {"25", "Please enter an integer between 5 and 20."},
        {"40000", "Please enter an integer."},
    };
    for (const Case& c : failures) {
        SCOPED_TRACE(c.text);
        app.shown.clear();
        dlg.Edit().setText(QString::fromUtf8(c.text));
        EXPECT_FALSE(dlg.UpdateData(true));
        ASSERT_EQ(app.shown.size(), 1u);
        EXPECT_EQ(app.shown[0].text, c.message);
        EXPECT_EQ(app.shown[0].type, unsigned{MB_OK | MB_ICONEXCLAMATION});
        EXPECT_TRUE(dlg.Edit().hasFocus() || QApplication::focusWidget() == &dlg.Edit() ||
                    dlg.GetWindow()->focusWidget() == &dlg.Edit());
        EXPECT_EQ(dlg.Edit().selectedText(), dlg.Edit().text());
    }
}

TEST(TextLimit, AnOverLongTextCanBeShortenedButNeverGrow) {
    TestApp app;
    FieldDlg dlg;
    dlg.useText = true;
    dlg.text = "-1000.0"; // three over the limit of 4, as a device value can be
    ASSERT_TRUE(dlg.Create());
    QLineEdit& edit = dlg.Edit();
    edit.setReadOnly(false); // the readout edit lent to the test takes no keys otherwise
    edit.setFocus();
    edit.end(false);
    const struct {
        Qt::Key key;
        const char* text; // after the key
    } steps[] = {
        {Qt::Key_Backspace, "-1000."}, {Qt::Key_1, "-1000."},        {Qt::Key_Home, "-1000."},
        {Qt::Key_Delete, "1000."},     {Qt::Key_Backspace, "1000."}, {Qt::Key_End, "1000."},
        {Qt::Key_Backspace, "1000"},   {Qt::Key_5, "1000"},          {Qt::Key_Backspace, "100"},
        {Qt::Key_5, "1005"},
    };
    for (const auto& step : steps) {
        QTest::keyClick(&edit, step.key);
        EXPECT_EQ(edit.text().toStdString(), step.text) << "after key " << step.key;
    }
    dlg.DestroyWindow();
}

TEST_F(DataExchangeBinding, OkKeepsTheDialogOpenUntilTheFieldPasses) {
    dlg.Edit().setText(QStringLiteral("3"));
    dlg.OnOK();
    EXPECT_TRUE(dlg.GetWindow()->isVisible());
    dlg.Edit().setText(QStringLiteral("5"));
    dlg.OnOK();
    EXPECT_FALSE(dlg.GetWindow()->isVisible());
    EXPECT_EQ(dlg.GetWindow()->result(), IDOK);
}

TEST(DataExchangeText, LimitStopsTypingButKeepsALongerProgramText) {
    TestApp app;
    FieldDlg dlg;
    dlg.useText = true;
    dlg.text = "12345"; // as a device may send it
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(dlg.Edit().text().toStdString(), "12345");
    EXPECT_FALSE(dlg.UpdateData(true));
    ASSERT_EQ(app.shown.size(), 1u);
    EXPECT_EQ(app.shown[0].text, "Please enter no more than 4 characters.");

    dlg.Edit().setReadOnly(false); // the borrowed edit is read-only in its own window
    dlg.Edit().setText(QStringLiteral("ą"));
    QTest::keyClicks(&dlg.Edit(), QStringLiteral("bcde"));
    EXPECT_EQ(dlg.Edit().text().toStdString(), "ąbcd");
    EXPECT_TRUE(dlg.UpdateData(true));
    EXPECT_EQ(dlg.text, "ąbcd");
    dlg.DestroyWindow();
}

TEST(DialogBuilderLayout, ControlsArePlacedInDialogUnitsOfTheDialogFont) {
    TestApp app;
    FieldDlg dlg;
    ASSERT_TRUE(dlg.Create());
    const DialogBaseUnits units = DialogBaseUnits::ForFont(dlg.GetWindow()->font());
    EXPECT_GE(units.x, 3);
    EXPECT_LE(units.x, 12);
    EXPECT_EQ(dlg.GetWindow()->size(), QSize(units.ToPixelsX(214), units.ToPixelsY(221)));
    EXPECT_EQ(dlg.GetDlgItem(IDC_CONNECT)->geometry(), units.ToPixels(35, 180, 70, 14));
    EXPECT_FALSE(dlg.IsDlgItemEnabled(IDC_MEASURE)) << "disabled in the template";
    dlg.DestroyWindow();
}

// Screen readers and UI automation learn a control's kind from its accessible role.
TEST(DialogBuilderAccessibility, EveryControlOfEveryTemplateHasItsRole) {
    TestApp app;
    for (const DialogTemplate* dialogTemplate : AllDialogTemplates()) {
        CDialog dialog(dialogTemplate->id);
        ASSERT_TRUE(dialog.Create());
        for (const BuiltControl& control : dialog.Controls()) {
            SCOPED_TRACE(testing::Message() << dialogTemplate->id << "/" << control.source->id);
            QAccessibleInterface* accessible =
                QAccessible::queryAccessibleInterface(control.widget);
            ASSERT_NE(accessible, nullptr);
            switch (control.source->kind) {
            case ControlKind::RadioButton:
                EXPECT_EQ(accessible->role(), QAccessible::RadioButton);
                break;
            case ControlKind::CheckBox:
                EXPECT_EQ(accessible->role(), QAccessible::CheckBox);
                break;
            case ControlKind::PushButton:
            case ControlKind::DefPushButton:
                EXPECT_EQ(accessible->role(), QAccessible::Button);
                break;
            case ControlKind::Edit:
                EXPECT_EQ(accessible->role(), QAccessible::EditableText);
                break;
            default:
                break;
            }
            EXPECT_FALSE(accessible->text(QAccessible::Name).isEmpty());
        }
        dialog.DestroyWindow();
    }
}

// A dialog that records whether its OnOK ran.
class OkRecordingDlg : public CDialog {
public:
    explicit OkRecordingDlg(int templateId) : CDialog(templateId) {}
    void OnOK() override {
        ++okCalls;
        CDialog::OnOK();
    }
    int okCalls = 0;
};

TEST(DialogKeys, EnterEndsADialogWithoutDefaultButtonThroughOnOK) {
    OkRecordingDlg dialog(IDD_WAIT);
    WhenModalOpens([](QWidget& modal) { QTest::keyClick(&modal, Qt::Key_Return); });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.okCalls, 1);

    WhenModalOpens(
        [](QWidget& modal) { QTest::keyClick(&modal, Qt::Key_Enter, Qt::KeypadModifier); });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.okCalls, 2);
}

TEST(DialogKeys, EnterDoesNothingWhileTheDefaultButtonIsDisabled) {
    TestApp app;
    OkRecordingDlg dialog(IDD_PORT);
    ASSERT_TRUE(dialog.Create());
    dialog.EnableDlgItem(IDOK, false);
    QTest::keyClick(dialog.GetWindow(), Qt::Key_Return);
    EXPECT_EQ(dialog.okCalls, 0);
    dialog.EnableDlgItem(IDOK, true);
    QTest::keyClick(dialog.GetWindow(), Qt::Key_Return);
    EXPECT_EQ(dialog.okCalls, 1);
    dialog.DestroyWindow();
}

TEST(DialogKeys, FocusOpensOnTheFirstTabStopNotOnARadioButton) {
    TestApp app;
    CDialog dialog(IDD_PORT);
    int focusedId = 0;
    WhenModalOpens([&](QWidget& modal) {
        if (const QWidget* focused = modal.focusWidget()) {
            focusedId = focused->property("controlId").toInt();
        }
        QTest::keyClick(&modal, Qt::Key_Escape);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(focusedId, IDOK);
}

// A check box of the output thresholds' template under test.
class CheckDlg : public CDialog {
public:
    CheckDlg() : CDialog(IDD_OUTPUTS) {}
    void DoDataExchange(CDataExchange& dx) override { DDX_Check(dx, IDC_OUTPUT1_INVERTED, value); }
    QCheckBox& Box() { return *static_cast<QCheckBox*>(GetDlgItem(IDC_OUTPUT1_INVERTED)); }
    int value = 0;
};

TEST(DataExchangeCheck, HalfStateReadsBackAsTwoUntilAClickMakesItTwoState) {
    const struct {
        int value;
        Qt::CheckState shown;
        int readBack;
    } cases[] = {{0, Qt::Unchecked, 0}, {1, Qt::Checked, 1},     {2, Qt::PartiallyChecked, 2},
                 {3, Qt::Unchecked, 0}, {255, Qt::Unchecked, 0}, {-1, Qt::Unchecked, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        CheckDlg dlg;
        dlg.value = c.value;
        ASSERT_TRUE(dlg.Create());
        EXPECT_EQ(dlg.Box().checkState(), c.shown);
        EXPECT_TRUE(dlg.UpdateData(true));
        EXPECT_EQ(dlg.value, c.readBack);
        dlg.DestroyWindow();
    }

    CheckDlg dlg;
    dlg.value = 2;
    ASSERT_TRUE(dlg.Create());
    std::vector<int> values;
    for (int click = 0; click < 4; ++click) {
        QTest::mouseClick(&dlg.Box(), Qt::LeftButton);
        dlg.UpdateData(true);
        values.push_back(dlg.value);
    }
    EXPECT_EQ(values, (std::vector<int>{1, 0, 1, 0})) << "never back to half";
    dlg.DestroyWindow();
}

} // namespace

// A read-only multi-line field is rewritten in place (only what changed), which must end with
// exactly the new text, nothing to undo and no modified mark, whatever changed.
TEST(DialogText, ReadOnlyMultiLineFieldEndsWithExactlyTheNewText) {
    TestApp app;
    CDialog dialog(IDD_TERMINAL);
    ASSERT_TRUE(dialog.Create());
    auto& edit = *static_cast<QPlainTextEdit*>(dialog.GetDlgItem(IDC_READ_INFO));
    ASSERT_TRUE(edit.isReadOnly());
    const std::string texts[] = {
        "Nr odczytu: 9\r\n\r\nWyjście 1-3 : 0 0 0\r\n",
        "Nr odczytu: 10\r\n\r\nWyjście 1-3 : 0 0 0\r\n",
        "Nr odczytu: 11\r\nAwaria urządzenia !\r\nWyjście 1-3 : 1 0 1\r\n",
        "Nr odczytu: 11\r\nAwaria urządzenia !\r\nWyjście 1-3 : 1 0 1\r\n",
        "",
        "a\rb\nc\r\n",
        "a\r\nb\nc\r\n",
        "x😀y",
        "x😁y",
        "x😁😁y",
        "Nr odczytu: 12\r\n\r\nWyjście 1-3 : 0 0 0\r\n",
    };
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        dialog.SetDlgItemText(IDC_READ_INFO, text);
        EXPECT_EQ(dialog.GetDlgItemText(IDC_READ_INFO), text);
        EXPECT_FALSE(edit.document()->isUndoAvailable());
        EXPECT_FALSE(edit.document()->isModified());
    }
    dialog.DestroyWindow();
}
