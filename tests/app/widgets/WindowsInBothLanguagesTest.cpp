#include "TerminalTestSupport.h"
#include "WindowTexts.h"

#include "CFindDeviceDlg.h"
#include "CLineMonitorWnd.h"
#include "CTrendWindow.h"
#include "DeviceFileOperations.h"
#include "MessageBoxTypes.h"
#include "MonitorRows.h"
#include "ProgramLanguage.h"
#include "ResourceIds.h"
#include "UiText.h"
#include "WindowMenuCommands.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// A text the simulated device sends: the Polish of one of the program's own messages, which a
// translation must leave as the device sent it.
constexpr const char* kDeviceText = "Nieznany powod bledu";
// What the device says besides: that text, and the description its data reader keeps.
const QStringList kDeviceTexts = {QString::fromUtf8(kDeviceText), QStringLiteral("Czytnik QAL")};

// The main window with a file to answer the settings files' question, a fixed PC time, and only
// the ports of its own folder to search.
class WalkTerminalDlg : public TestTerminalDlg {
public:
    using CTerminalDlg::FindDeviceWindow;
    using TestTerminalDlg::TestTerminalDlg;

    std::string file;

protected:
    std::string AskFileName(FileQuestion, const std::string&) override { return file; }
    std::vector<PortCandidate> SystemPorts() const override { return {}; }
};

// What is wrong with a window laid out by Qt: a text that its widget cuts (narrower than the text
// wants), or two controls side by side that overlap. Windows from templates place their controls
// themselves (see FitProblems).
std::vector<std::string> LayoutProblems(const QWidget& window) {
    std::vector<std::string> problems;
    if (window.layout() == nullptr) {
        return problems;
    }
    std::vector<const QWidget*> controls;
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(&window)) {
            continue;
        }
        const auto* button = qobject_cast<const QAbstractButton*>(widget);
        const auto* label = qobject_cast<const QLabel*>(widget);
        if (button == nullptr &&
            (label == nullptr || label->wordWrap() || label->text().isEmpty())) {
            continue;
        }
        controls.push_back(widget);
        if (widget->width() < widget->sizeHint().width()) {
            const QString text = button != nullptr ? button->text() : label->text();
            problems.push_back("\"" + text.toStdString() + "\" needs " +
                               std::to_string(widget->sizeHint().width()) + " pixels, has " +
                               std::to_string(widget->width()));
        }
    }
    for (std::size_t i = 0; i < controls.size(); ++i) {
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            if (controls[i]->parentWidget() == controls[j]->parentWidget() &&
                controls[i]->geometry().intersects(controls[j]->geometry())) {
                problems.push_back(controls[i]->objectName().toStdString() + " overlaps " +
                                   controls[j]->objectName().toStdString());
            }
        }
    }
    return problems;
}

class WindowsInBothLanguages : public testing::TestWithParam<Language> {
protected:
    void SetUp() override {
        language = std::make_unique<CProgramLanguage>(
            GetParam(), QtTranslationFolders(QCoreApplication::applicationDirPath()));
        StartSimBehindPort(sims, dir, 1,
                           {"--model-marker", "first", "--failure", "--text", kDeviceText,
                            "--text-period", "2000"});
        dir.WriteConfig(SettingsBytes(1, 19200, 31));
        dialog = std::make_unique<WalkTerminalDlg>(dir.Path());
        dialog->file = (dir.Path() / "settings.json").string();
        ASSERT_TRUE(dialog->Create());
    }
    void TearDown() override {
        if (dialog) {
            dialog->DestroyWindow();
        }
    }

    bool English() const { return GetParam() == Language::English; }

    // Takes in what a window says and whether it is laid out well; in English, its picture.
    void Look(const QWidget& window, const char* picture) {
        SCOPED_TRACE(window.windowTitle().toStdString());
        texts << WindowTexts(window);
        for (const std::string& problem : LayoutProblems(window)) {
            ADD_FAILURE() << problem;
        }
        if (English() && picture != nullptr) {
            const QString folder = QStringLiteral(QAL_TEST_OUTPUT_DIR "/english");
            ASSERT_TRUE(QDir().mkpath(folder));
            EXPECT_TRUE(const_cast<QWidget&>(window).grab().save(
                folder + QLatin1Char('/') + QString::fromUtf8(picture) + ".png"));
        }
    }
    // Opens a settings dialog by its button, looks at it and leaves it with Cancel.
    void LookAtSettingsDialog(int button, const char* title, const char* picture) {
        bool seen = false;
        WhenModalOpens(UiText(title).toUtf8().constData(), [&](QWidget& window) {
            seen = true;
            Look(window, picture);
            QTest::mouseClick(
                window.findChild<QPushButton*>(QStringLiteral("control_%1").arg(IDCANCEL)),
                Qt::LeftButton);
        });
        Click(button);
        EXPECT_TRUE(seen) << title;
    }
    void Click(int id) {
        auto* button = static_cast<QPushButton*>(dialog->GetDlgItem(id));
        ASSERT_TRUE(button->isEnabled()) << id;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    // Whether the log has this line exactly as given.
    bool LogHas(const std::string& line) const {
        const std::vector<std::string> lines = LogLines(*dialog);
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    std::unique_ptr<CProgramLanguage> language;
    TestApp app;
    TempAppDir dir;
    std::vector<std::unique_ptr<CSimProcess>> sims;
    std::unique_ptr<WalkTerminalDlg> dialog;
    QStringList texts;
};

TEST_P(WindowsInBothLanguages, EveryWindowIsLaidOutWellAndInEnglishSaysNoPolish) {
    Click(IDC_CONNECT);
    ASSERT_TRUE(ProcessEventsUntil([&] {
        return dialog->IsDlgItemEnabled(IDC_UPDATE_TIME) && LogHas(kDeviceText);
    })) << "connected, a model marker and a device text";
    (void)dialog->OnSysCommand(WindowMenuCommand::kLineMonitor);
    (void)dialog->OnSysCommand(WindowMenuCommand::kTrend);

    Click(IDC_VERSIONS);
    app.answers = {IDNO};
    Click(IDC_UPDATE_TIME);
    LookAtSettingsDialog(IDC_SENSOR_CONFIG, "Konfiguracja QAL", "sensor-configuration");
    LookAtSettingsDialog(IDC_READER_CONFIG, "Konfiguracja czytnika", "reader-configuration");
    LookAtSettingsDialog(IDC_OUTPUTS, "Konfiguracja wyjść", "outputs");

    EXPECT_TRUE(dialog->OnSysCommand(WindowMenuCommand::kSaveSettings));
    bool compared = false;
    WhenModalOpens(UiText("Porównanie ustawień z plikiem").toUtf8().constData(),
                   [&](QWidget& window) {
                       compared = true;
                       Look(window, "settings-comparison");
                       dynamic_cast<QDialog&>(window).reject();
                   });
    EXPECT_TRUE(dialog->OnSysCommand(WindowMenuCommand::kCompareSettings));
    EXPECT_TRUE(compared);

    // The tools while the line is busy: rows of every kind, readings in the plot.
    CLineMonitorWnd* monitor = dialog->LineMonitor();
    ASSERT_NE(monitor, nullptr);
    ASSERT_TRUE(ProcessEventsUntil([&] { return monitor->Rows().Count() > 30; }))
        << monitor->Rows().Count() << " rows";
    CTrendWindow* trend = dialog->ReadingTools().TrendWindow();
    ASSERT_NE(trend, nullptr);
    ASSERT_TRUE(ProcessEventsUntil([&] { return trend->Statistics().readings > 3; }))
        << trend->Statistics().readings << " readings, rows " << monitor->Rows().Count();
    Look(*monitor, "line-monitor");
    Look(*trend, "speed-plot");
    Look(*dialog->GetWindow(), "main-window");

    Click(IDC_DISCONNECT);
    ASSERT_TRUE(ProcessEventsUntil([&] { return dialog->IsDlgItemEnabled(IDC_CONNECT); }));
    bool chosen = false;
    WhenModalOpens(UiText("Wybierz port").toUtf8().constData(), [&](QWidget& window) {
        chosen = true;
        Look(window, "port-options");
        QTest::keyClick(&window, Qt::Key_Escape);
    });
    Click(IDC_CONNECTION_OPTIONS);
    EXPECT_TRUE(chosen);
    EXPECT_TRUE(dialog->OnSysCommand(WindowMenuCommand::kFindDevice));
    CFindDeviceDlg* finder = dialog->FindDeviceWindow();
    ASSERT_NE(finder, nullptr);
    ASSERT_TRUE(ProcessEventsUntil([&] { return !finder->Scanning(); }, 15000));
    Look(*finder, "find-device");
    finder->close();
    bool networkPortsSeen = false;
    WhenModalOpens(UiText("Porty sieciowe").toUtf8().constData(), [&](QWidget& window) {
        networkPortsSeen = true;
        Look(window, nullptr);
        QTest::keyClick(&window, Qt::Key_Escape);
    });
    EXPECT_TRUE(dialog->OnSysCommand(WindowMenuCommand::kNetworkPorts));
    EXPECT_TRUE(networkPortsSeen);
    for (const auto& [command, title] :
         {std::pair{WindowMenuCommand::kLanguage, "Język / Language"},
          std::pair{unsigned{IDM_ABOUTBOX}, "About ZB"}}) {
        bool seen = false;
        WhenModalOpens(title, [&](QWidget& window) {
            seen = true;
            Look(window, nullptr);
            QTest::keyClick(&window, Qt::Key_Escape);
        });
        EXPECT_TRUE(dialog->OnSysCommand(command));
        EXPECT_TRUE(seen) << title;
    }
    texts << MenuTexts(*dialog->CreateWindowMenu());
    for (const TestApp::Shown& box : app.shown) {
        texts << UiText(box.text); // the real box shows it so
    }

    // The device's text stays as it came, in the log and in the line monitor; the program's own
    // line of the same words is translated.
    EXPECT_TRUE(LogHas(kDeviceText));
    EXPECT_TRUE(texts.contains(QString::fromUtf8(kDeviceText)));
    EXPECT_EQ(LogHas("Połączono"), !English());
    EXPECT_EQ(LogHas("Connected"), English());
    if (!English()) {
        return;
    }
    QStringList polish;
    for (const QString& text : texts) {
        if (!kDeviceTexts.contains(text) && LooksPolish(text)) {
            polish.push_back(text);
        }
    }
    polish.removeDuplicates();
    EXPECT_TRUE(polish.isEmpty()) << polish.join(QStringLiteral("\n")).toStdString();
    EXPECT_GT(texts.size(), 300);
}

INSTANTIATE_TEST_SUITE_P(Languages, WindowsInBothLanguages,
                         testing::Values(Language::Polish, Language::English),
                         [](const testing::TestParamInfo<Language>& info) {
                             return info.param == Language::English ? "English" : "Polish";
                         });

} // namespace
