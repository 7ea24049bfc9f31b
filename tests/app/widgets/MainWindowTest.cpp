#include "TerminalTestSupport.h"

#include "CAboutDlg.h"
#include "MessageBoxTypes.h"
#include "ResourceIds.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>

namespace {

const char kVersionLine[] = "Terminal QAL Mar 26 2008, wersja   7";
const char kNoSettingsMessage[] =
    "Nie znaleziono pliku konfiguracyjnego . Przyjęto wartości domyślne.";

class MainWindowTest : public testing::Test {
protected:
    void Start() {
        dialog = std::make_unique<TestTerminalDlg>(dir.Path());
        ASSERT_TRUE(dialog->Create());
    }
    void TearDown() override {
        if (dialog) {
            dialog->DestroyWindow();
        }
    }
    std::string ReadLine() const {
        return "Plik konfiguracyjny '" + dir.ConfigPath().string() + "' odczytano";
    }

    TestApp app;
    TempAppDir dir;
    std::unique_ptr<TestTerminalDlg> dialog;
};

TEST_F(MainWindowTest, StartWithSettingsFileLogsThreeLinesAndUsesTheFile) {
    dir.WriteConfig(SettingsBytes(3, 9600, 5));
    Start();

    EXPECT_EQ(LogLines(*dialog),
              (std::vector<std::string>{kVersionLine, "Inicjalizacja...", ReadLine()}));
    EXPECT_TRUE(app.shown.empty());
    EXPECT_EQ(dialog->Settings().port, 3);
    EXPECT_EQ(dialog->Settings().baudRate, 9600);
    EXPECT_EQ(dialog->Settings().deviceAddress, 5);
    EXPECT_EQ(dialog->VersionLine(), kVersionLine);
    EXPECT_EQ(dialog->GetWindow()->windowTitle().toStdString(), "Program kontrolny QAL");
}

// Sets an environment variable for one test and puts back what was there before.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::string& value) : m_name(name) {
        if (const char* old = std::getenv(name)) {
            m_old = old;
        }
        EXPECT_TRUE(qputenv(name, QByteArray::fromStdString(value)));
    }
    ~ScopedVariable() {
        // Only the test process's own environment is at stake.
        (void)(m_old ? qputenv(m_name, QByteArray::fromStdString(*m_old)) : qunsetenv(m_name));
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

#if !defined(_WIN32) // an installed copy is known by its desktop entry there
// An installed copy keeps its settings in the user's folder, made at the first save, also under
// a home whose name is not ASCII; the log names the file as its owner spells it.
TEST_F(MainWindowTest, InstalledCopyKeepsSettingsInTheUsersFolderUnderAPolishHome) {
    const std::filesystem::path root = dir.Path();
    std::filesystem::create_directories(root / "usr" / "bin");
    std::filesystem::create_directories(root / "usr" / "share" / "applications");
    std::ofstream(root / "usr" / "share" / "applications" / (QAL_APP_ID ".desktop")) << "";
    const std::string home = root.string() + "/łukasz";
    const ScopedVariable configHome("XDG_CONFIG_HOME", home + "/.config");
    const std::string file = home + "/.config/qal-terminal/config.cfg";

    dialog = std::make_unique<TestTerminalDlg>(root / "usr" / "bin");
    ASSERT_TRUE(dialog->Create());
    EXPECT_EQ(app.shown.size(), 1u) << "no settings yet";
    WhenModalOpens(
        [](QWidget& ports) {
            QTest::mouseClick(ports.findChild<QPushButton*>(QStringLiteral("control_1")),
                              Qt::LeftButton);
        },
        dialog->GetWindow());
    QTest::mouseClick(static_cast<QPushButton*>(dialog->GetDlgItem(IDC_CONNECTION_OPTIONS)),
                      Qt::LeftButton);
    const std::string saved = "Plik konfiguracyjny '" + file + "' zapisano";
    EXPECT_EQ(LogLines(*dialog).back(), saved);
    const std::string pane = dialog->GetDlgItemText(IDC_LOG);
    EXPECT_EQ(pane.substr(pane.size() - saved.size()), saved) << "the pane shows it as written";
    dialog->DestroyWindow();

    dialog = std::make_unique<TestTerminalDlg>(root / "usr" / "bin");
    ASSERT_TRUE(dialog->Create());
    EXPECT_EQ(LogLines(*dialog).back(), "Plik konfiguracyjny '" + file + "' odczytano");
    EXPECT_EQ(app.shown.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(root / "usr" / "bin" / "config.cfg"));
}
#endif

TEST_F(MainWindowTest, StartWithoutSettingsFileWarnsAndUsesDefaults) {
    Start();

    EXPECT_EQ(LogLines(*dialog), (std::vector<std::string>{kVersionLine, "Inicjalizacja..."}));
    ASSERT_EQ(app.shown.size(), 1u);
    EXPECT_EQ(app.shown[0].text, kNoSettingsMessage);
    EXPECT_EQ(app.shown[0].type, unsigned{MB_OK | MB_ICONEXCLAMATION});
    EXPECT_EQ(dialog->Settings().port, 1);
    EXPECT_EQ(dialog->Settings().baudRate, 19200);
    EXPECT_EQ(dialog->Settings().deviceAddress, 31);
    EXPECT_FALSE(std::filesystem::exists(dir.ConfigPath())) << "loading never creates the file";
}

TEST_F(MainWindowTest, SettingsFilesOfEverySize) {
    struct Case {
        std::vector<unsigned char> bytes;
        bool read;
        ConnectionSettings expected;
    };
    std::vector<unsigned char> twenty = SettingsBytes(2, 4800, 7);
    twenty.insert(twenty.end(), {9, 9, 9, 9, 9, 9, 9, 9});
    std::vector<unsigned char> eleven = SettingsBytes(2, 4800, 7);
    eleven.pop_back();
    const Case cases[] = {
        {{}, false, {1, 19200, 31}},
        {eleven, false, {1, 19200, 31}},
        {std::vector<unsigned char>(12, 0), true, {0, 0, 0}},
        {twenty, true, {2, 4800, 7}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.size());
        TestApp caseApp;
        TempAppDir caseDir;
        caseDir.WriteConfig(c.bytes);
        TestTerminalDlg window(caseDir.Path());
        ASSERT_TRUE(window.Create());
        EXPECT_EQ(caseApp.shown.size(), c.read ? 0u : 1u);
        EXPECT_EQ(LogLines(window).size(), c.read ? 3u : 2u);
        EXPECT_EQ(window.Settings().port, c.expected.port);
        EXPECT_EQ(window.Settings().baudRate, c.expected.baudRate);
        EXPECT_EQ(window.Settings().deviceAddress, c.expected.deviceAddress);
        window.DestroyWindow();
    }
}

TEST_F(MainWindowTest, StartsDisconnectedWithTheBlankReadoutInLargeFixedFont) {
    dir.WriteConfig(SettingsBytes(1, 19200, 31));
    Start();

    for (const int id : {IDC_CONNECT, IDC_CONNECTION_OPTIONS, IDOK}) {
        EXPECT_TRUE(dialog->IsDlgItemEnabled(id)) << id;
    }
    for (const int id : {IDC_UPDATE_TIME, IDC_OUTPUTS, IDC_SENSOR_CONFIG, IDC_READER_CONFIG,
                         IDC_MEASURE, IDC_VERSIONS, IDC_DISCONNECT}) {
        EXPECT_FALSE(dialog->IsDlgItemEnabled(id)) << id;
    }
    EXPECT_EQ(dialog->GetDlgItemText(IDC_CONNECT), "Połącz");
    EXPECT_EQ(dialog->SpeedField()->text().toStdString(), " - - - -");
    EXPECT_TRUE(dialog->SpeedField()->isReadOnly());

    const QFont font = dialog->SpeedField()->font();
    const QFontMetrics metrics(font);
    EXPECT_EQ(metrics.horizontalAdvance('i'), metrics.horizontalAdvance('W')) << "fixed pitch";
    const int dpi = dialog->GetWindow()->logicalDpiY();
    EXPECT_EQ(font.pixelSize(), dpi * 310 / 720);
    EXPECT_NEAR(font.pixelSize() * 72.0 / dpi, 31.0, 0.5);
    EXPECT_EQ(font.weight(), QFont::Medium);
    // The widest readout text fits its field.
    EXPECT_LE(QFontMetrics(font).horizontalAdvance(QStringLiteral(" 12.3 [m/s]")),
              dialog->SpeedField()->width());
}

TEST_F(MainWindowTest, ControlsFollowTheTemplateTabOrderAndHaveNames) {
    dir.WriteConfig(SettingsBytes(1, 19200, 31));
    Start();

    std::vector<QWidget*> templateOrder;
    for (const BuiltControl& control : dialog->Controls()) {
        EXPECT_FALSE(control.widget->accessibleName().isEmpty()) << control.source->id;
        templateOrder.push_back(control.widget);
    }
    std::vector<QWidget*> chain;
    QWidget* widget = templateOrder.front();
    do {
        if (std::find(templateOrder.begin(), templateOrder.end(), widget) != templateOrder.end()) {
            chain.push_back(widget);
        }
        widget = widget->nextInFocusChain();
    } while (widget != templateOrder.front() && chain.size() <= templateOrder.size());
    EXPECT_EQ(chain, templateOrder);

    // Tab moves on from the log pane instead of into its text.
    EXPECT_TRUE(dialog->LogPane()->tabChangesFocus());
}

TEST_F(MainWindowTest, CommandWithoutHandlerReachesNobody) {
    dir.WriteConfig(SettingsBytes(1, 19200, 31));
    Start();
    const std::string logBefore = dialog->Log().Text();

    EXPECT_FALSE(dialog->OnCmdMsg(IDC_MEASURE));
    dialog->PostCommand(IDC_MEASURE);
    QApplication::processEvents();

    EXPECT_EQ(dialog->Log().Text(), logBefore);
    EXPECT_TRUE(app.shown.empty());
    EXPECT_TRUE(dialog->GetWindow()->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(MainWindowTest, ExitEscapeAndCloseBoxEndTheProgramAlike) {
    dir.WriteConfig(SettingsBytes(1, 19200, 31));
    struct Ending {
        const char* name;
        std::function<void(QWidget&)> act;
        int result;
    };
    const Ending endings[] = {
        {"Wyjście",
         [](QWidget& w) {
             QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("control_1")),
                               Qt::LeftButton);
         },
         IDOK},
        {"Enter", [](QWidget& w) { QTest::keyClick(&w, Qt::Key_Return); }, IDOK},
        {"Esc", [](QWidget& w) { QTest::keyClick(&w, Qt::Key_Escape); }, IDCANCEL},
        {"close box", [](QWidget& w) { w.close(); }, IDCANCEL},
    };
    for (const Ending& ending : endings) {
        SCOPED_TRACE(ending.name);
        TestTerminalDlg window(dir.Path());
        WhenModalOpens(ending.act);
        EXPECT_EQ(window.DoModal(), ending.result);
        EXPECT_EQ(window.GetWindow(), nullptr);
        EXPECT_EQ(window.Link(), nullptr) << "the owned objects go with the window";
        EXPECT_EQ(window.Queue(), nullptr);
        EXPECT_EQ(window.WaitDlg(), nullptr);
    }
}

TEST_F(MainWindowTest, AboutBoxOpensFromTheMenuItemAndItsSystemCommands) {
    dir.WriteConfig(SettingsBytes(1, 19200, 31));
    Start();

    const std::unique_ptr<QMenu> menu = dialog->CreateWindowMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_FALSE(menu->actions().empty()); // About first, the tools after it
    EXPECT_EQ(menu->actions()[0]->text().toStdString(), "&About ZB...");

    for (const unsigned command : {16u, 17u, 31u}) {
        SCOPED_TRACE(command);
        std::string caption;
        WhenModalOpens(
            [&caption](QWidget& about) {
                caption = about.windowTitle().toStdString();
                QTest::keyClick(&about, Qt::Key_Escape);
            },
            dialog->GetWindow());
        dialog->OnSysCommand(command);
        EXPECT_EQ(caption, "About ZB");
    }

    // Other system commands open nothing; should one open a window, it is closed and noticed.
    bool opened = false;
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget();
            modal && modal != dialog->GetWindow()) {
            opened = true;
            modal->close();
        }
    });
    guard.start(10);
    dialog->OnSysCommand(0xEF0);
    dialog->OnSysCommand(0xF060);
    QApplication::processEvents();
    EXPECT_FALSE(opened);
}

// The window menu is the window's context menu: chosen there from the keyboard, its About
// item opens the About box.
TEST_F(MainWindowTest, AboutBoxOpensFromTheWindowMenuAsContextMenu) {
    dir.WriteConfig(SettingsBytes(1, 19200, 31));
    Start();
    // Watched from the running loop: the menu's own loop must be able to end first.
    bool opened = false;
    WhenModalOpens("About ZB", [&opened](QWidget& about) {
        opened = true;
        QTest::keyClick(&about, Qt::Key_Escape);
    });
    QTimer chooser;
    QObject::connect(&chooser, &QTimer::timeout, [&chooser] {
        if (auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            chooser.stop();
            popup->setActiveAction(popup->actions().value(0));
            QTest::keyClick(popup, Qt::Key_Return);
        }
    });
    chooser.start(10);
    QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(10, 10), QPoint(10, 10));
    QApplication::sendEvent(dialog->GetWindow(), &event);
    EXPECT_TRUE(opened);
}

TEST_F(MainWindowTest, AboutBoxShowsVersionAndIcon) {
    std::vector<std::string> texts;
    bool hasIcon = false;
    WhenModalOpens([&](QWidget& about) {
        for (const QLabel* label : about.findChildren<QLabel*>()) {
            if (!label->pixmap().isNull()) {
                hasIcon = true;
            } else {
                texts.push_back(label->text().toStdString());
            }
        }
        QTest::mouseClick(about.findChild<QPushButton*>(QStringLiteral("control_1")),
                          Qt::LeftButton);
    });
    CAboutDlg about;
    EXPECT_EQ(about.DoModal(), IDOK);
    EXPECT_TRUE(hasIcon);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts[0], "ZB Version 1.0");
}

} // namespace
