#include "TerminalTestSupport.h"

#include "WindowMenuCommands.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

// The main window with no system ports: the finder looks at the settings folder alone.
class NoPortsTerminalDlg : public TestTerminalDlg {
public:
    using TestTerminalDlg::TestTerminalDlg;

protected:
    std::vector<PortCandidate> SystemPorts() const override { return {}; }
};

QWidget* OpenWindowTitled(const QString& title) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->windowTitle() == title) {
            return widget;
        }
    }
    return nullptr;
}

template <class Control> Control* Named(QWidget& window, const char* name) {
    for (Control* control : window.findChildren<Control*>()) {
        if (control->accessibleName() == QString::fromUtf8(name)) {
            return control;
        }
    }
    return nullptr;
}

// Each tool of the window menu, opened from the keyboard or the menu while the main window runs
// modally as in the program: it opens wholly on the screen, takes the user's clicks and keys,
// and closing it leaves the main window running.
TEST(ToolWindows, TakeInputBesideTheModalMainWindow) {
    const struct {
        const char* title;
        unsigned command;
        Qt::Key shortcut; // with Ctrl in the main window; Qt::Key_unknown: from the menu
        std::function<bool(QWidget&)> use; // what the user does; true when it took effect
    } cases[] = {
        {"Podgląd transmisji", WindowMenuCommand::kLineMonitor, Qt::Key_T,
         [](QWidget& window) {
             auto* pause = Named<QPushButton>(window, "Pauza");
             auto* hide = Named<QCheckBox>(window, "Ukryj odczyty pomiaru");
             if (pause == nullptr || hide == nullptr) {
                 return false;
             }
             ClickAsUser(*pause);
             ClickAsUser(*hide);
             return pause->text() == "Wznów" && hide->isChecked();
         }},
        {"Wykres prędkości", WindowMenuCommand::kTrend, Qt::Key_G,
         [](QWidget& window) {
             auto* span = Named<QComboBox>(window, "Zakres");
             if (span == nullptr) {
                 return false;
             }
             span->setFocus();
             KeyAsUser(window, Qt::Key_Down);
             return span->currentText() == "60 min";
         }},
        {"Znajdź urządzenie", WindowMenuCommand::kFindDevice, Qt::Key_unknown,
         [](QWidget& window) {
             auto* speeds = window.findChild<QCheckBox*>();
             if (speeds == nullptr) {
                 return false;
             }
             ClickAsUser(*speeds);
             return speeds->isChecked();
         }},
    };
    TestApp app;
    TempAppDir dir;
    dir.WriteConfig(SettingsBytes(1, 19200, 31));
    NoPortsTerminalDlg dialog(dir.Path());
    RunInModalLoop(dialog, [&] {
        QWidget& main = *dialog.GetWindow();
        for (const auto& c : cases) {
            SCOPED_TRACE(c.title);
            if (c.shortcut != Qt::Key_unknown) {
                main.activateWindow(); // as a click on it would
                ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
                KeyAsUser(main, c.shortcut, Qt::ControlModifier);
            } else {
                EXPECT_TRUE(dialog.OnSysCommand(c.command));
            }
            QWidget* window = OpenWindowTitled(QString::fromUtf8(c.title));
            ASSERT_NE(window, nullptr);
            const QRect screen = window->screen()->availableGeometry();
            EXPECT_TRUE(screen.contains(window->frameGeometry()))
                << window->frameGeometry().width() << "x" << window->frameGeometry().height()
                << " on " << screen.width() << "x" << screen.height();

            EXPECT_TRUE(c.use(*window)) << "the window took no input";

            window->close();
            EXPECT_FALSE(window->isVisible());
            EXPECT_EQ(QApplication::activeModalWidget(), &main) << "the main window runs on";
            EXPECT_TRUE(main.isVisible());
        }
    });
    EXPECT_TRUE(app.shown.empty()) << app.shown.front().text;
}

} // namespace
