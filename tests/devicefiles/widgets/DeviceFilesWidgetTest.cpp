#include "CSettingsCompareDlg.h"
#include "DeviceFileOperations.h"
#include "FakeDevice.h"
#include "MessageBoxTypes.h"
#include "SettingsFileJson.h"
#include "SettingsSheet.h"
#include "TempDirectory.h"
#include "TerminalTestSupport.h"
#include "WidgetTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>

namespace {

SettingsSnapshot Snapshot() {
    std::mt19937 random(17);
    SettingsSnapshot snapshot;
    snapshot.records = RandomRecords(random);
    snapshot.records.config.setSerialNumber(1234);
    snapshot.records.alarms.setMaxThreshold(2, 125);
    snapshot.savedAt = "2026-12-08T10:11:12+01:00";
    return snapshot;
}

// A saved file changed by edit (on its JSON object), or, without one, these bytes.
QByteArray EditedFile(const std::function<void(QJsonObject&)>& edit) {
    QJsonObject root = QJsonDocument::fromJson(SettingsToJson(Snapshot())).object();
    edit(root);
    return QJsonDocument(root).toJson();
}

void SetRecordField(QJsonObject& root, const char* record, const char* key,
                    const QJsonValue& value) {
    QJsonObject records = root["records"].toObject();
    QJsonObject one = records[record].toObject();
    if (QString(key) == "bytes") {
        one[key] = value;
    } else {
        QJsonObject fields = one["fields"].toObject();
        fields[key] = value;
        one["fields"] = fields;
    }
    records[record] = one;
    root["records"] = records;
}

DeviceFileContext Context(const std::string& path) {
    DeviceFileContext context;
    context.askFileName = [path](FileQuestion, const std::string&) { return path; };
    return context;
}

// The label a control is known by: its accessible name or its buddy label's text.
QString NameOf(QWidget& widget) {
    if (!widget.accessibleName().isEmpty()) {
        return widget.accessibleName();
    }
    for (QLabel* label : widget.window()->findChildren<QLabel*>()) {
        if (label->buddy() == &widget) {
            return label->text();
        }
    }
    return {};
}

} // namespace

// A refused file is named in a box, and the device hears nothing of it.
TEST(DeviceFilesWidgetTest, RefusedFilesSayWhyAndSendNothing) {
    const QByteArray valid = SettingsToJson(Snapshot());
    const struct {
        const char* name;
        QByteArray content;  // null: no file at all
        std::string message; // the box's text starts with it
    } cases[] = {
        {"not JSON",
         "{\"format\": ", "To nie jest plik ustawień: plik nie jest poprawnym plikiem JSON ("},
        {"JSON but no object", "[1, 2]",
         "To nie jest plik ustawień: plik nie jest poprawnym plikiem JSON."},
        {"another format", EditedFile([](QJsonObject& r) { r["format"] = "inny"; }),
         "To nie jest plik ustawień urządzenia QAL (inny format pliku)."},
        {"newer version", EditedFile([](QJsonObject& r) { r["formatVersion"] = 2; }),
         "Plik zapisano w nowszej wersji formatu (2); ten program zna wersję 1. Użyj nowszego "
         "programu."},
        {"record too short", EditedFile([](QJsonObject& r) {
             SetRecordField(r, "sensorConfig", "bytes", QString(76, QChar('0')));
         }),
         "Rekord „konfiguracja QAL” w pliku ma 38 bajtów zamiast 39."},
        {"odd hex", EditedFile([](QJsonObject& r) {
             SetRecordField(r, "outputs", "bytes", QString(41, QChar('a')));
         }),
         "Rekord „konfiguracja wyjść” w pliku ma 20,5 bajtów zamiast 20."},
        {"not hex", EditedFile([](QJsonObject& r) {
             SetRecordField(r, "readerData", "bytes", QString(52, QChar('g')));
         }),
         "Rekord „konfiguracja czytnika” w pliku nie jest zapisem szesnastkowym."},
        {"record missing", EditedFile([](QJsonObject& r) { r["records"] = QJsonObject{}; }),
         "W pliku brak rekordu „konfiguracja QAL”."},
        {"field edited by hand",
         EditedFile([](QJsonObject& r) { SetRecordField(r, "outputs", "output2.max", "13.0"); }),
         "Pole „Wyjście 2: próg max [m/s]” rekordu „konfiguracja wyjść” nie zgadza się z "
         "bajtami rekordu (12.5): plik zmieniono ręcznie. Nie użyto go."},
        {"over 1 MB", valid + QByteArray(1024 * 1024, ' '),
         "Plik jest za duży (ponad 1 MB): to nie jest plik ustawień."},
        {"unreadable", QByteArray(), "Nie można odczytać pliku '"},
    };
    CTempDirectory dir("qal-refused");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.Join("settings.json");
        QFile::remove(QString::fromStdString(path));
        if (!c.content.isNull()) {
            QFile file(QString::fromStdString(path));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            ASSERT_EQ(file.write(c.content), c.content.size());
        }
        TestApp app;
        FakeDevice device;
        const CUnexpectedModals refused(c.name); // a file taken opens the comparison
        RunCompareWithFile(device, Context(path));
        ASSERT_EQ(app.shown.size(), 1u);
        EXPECT_EQ(app.shown[0].text.substr(0, c.message.size()), c.message);
        EXPECT_TRUE(device.commands.empty());
    }
}

// The comparison window from the keyboard alone: every stop has a name, and the write of
// another sensor's settings waits for the user's word.
TEST(DeviceFilesWidgetTest, ComparisonWindowFromTheKeyboard) {
    const SettingsSnapshot file = Snapshot();
    DeviceRecords device = file.records;
    device.config.setSerialNumber(77);
    device.config.bytes[35] ^= 0x10;
    const SettingsComparison comparison = CompareSettings(device, file.records);
    TestApp app;
    TempAppDir dir;
    dir.WriteConfig(SettingsBytes(1, 19200, 31));
    TestTerminalDlg main(dir.Path());
    int result = -1;
    // Over the main window, modal as the program opens it.
    RunInModalLoop(main, [&] {
        CSettingsCompareDlg dialog(comparison, "Plik: test.json", main.GetWindow());
        WhenModalOpens(
            [&](QWidget&) {
                QApplication::setActiveWindow(&dialog);
                ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));

                ASSERT_EQ(dialog.Table()->rowCount(), static_cast<int>(comparison.fields.size()));
                EXPECT_EQ(dialog.Table()->item(0, 3)->text().toStdString(), "≠ zmienione");
                EXPECT_FALSE(dialog.WriteButton()->isEnabled());

                std::vector<std::string> stops;
                for (int i = 0; i < 4; ++i) {
                    QWidget* focused = QApplication::focusWidget();
                    ASSERT_NE(focused, nullptr);
                    EXPECT_FALSE(NameOf(*focused).isEmpty()) << focused->metaObject()->className();
                    stops.push_back(focused->metaObject()->className());
                    KeyAsUser(dialog, Qt::Key_Tab);
                }
                EXPECT_EQ(stops, (std::vector<std::string>{"QTableWidget", "QPlainTextEdit",
                                                           "QCheckBox", "QPushButton"}));
                EXPECT_EQ(QApplication::focusWidget(), dialog.Table()) << "round to the start";

                // Agree to copy without the identity; the write button comes on and takes Space.
                KeyAsUser(dialog, Qt::Key_Tab);
                KeyAsUser(dialog, Qt::Key_Tab);
                ASSERT_EQ(QApplication::focusWidget(), dialog.CloneBox());
                KeyAsUser(dialog, Qt::Key_Space);
                ASSERT_TRUE(dialog.WriteButton()->isEnabled());
                KeyAsUser(dialog, Qt::Key_Tab);
                ASSERT_EQ(QApplication::focusWidget(), dialog.WriteButton());
                KeyAsUser(dialog, Qt::Key_Space);
            },
            main.GetWindow());
        result = dialog.exec();
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_TRUE(app.shown.empty());
}

// A hand-built file with values the settings dialogs refuse: the changed rows come first, and
// the write asks first, naming each value with its allowed range; "Nie" writes nothing.
TEST(DeviceFilesWidgetTest, ComparisonAsksBeforeWritingWhatTheDialogsRefuse) {
    SettingsSnapshot file = Snapshot();
    FakeDevice device;
    device.memory = file.records;
    device.memory.config.setRange(150);
    device.memory.alarms.setMinThreshold(2, 20);
    device.memory.alarms.setMaxThreshold(2, 125);
    file.records = device.memory;
    file.records.config.setRange(1000);
    file.records.alarms.setMaxThreshold(2, 205);
    CTempDirectory files("qal-limits");
    const std::string path = files.Join("reczny.json");
    std::error_code error;
    ASSERT_TRUE(SaveSettingsFile(QString::fromStdString(path), file, error)) << error.message();

    TestApp app;
    app.answers = {IDNO, IDYES};
    TempAppDir dir;
    dir.WriteConfig(SettingsBytes(1, 19200, 31));
    TestTerminalDlg main(dir.Path());
    std::vector<std::string> firstRows;
    std::vector<std::uint8_t> sentAfterNo;
    RunInModalLoop(main, [&] {
        WhenModalOpens("Porównanie ustawień z plikiem", [&](QWidget& window) {
            auto& compare = static_cast<CSettingsCompareDlg&>(window);
            for (int row = 0; row < 3; ++row) {
                firstRows.push_back(compare.Table()->item(row, 0)->text().toStdString());
            }
            ClickAsUser(*compare.WriteButton());
            sentAfterNo = device.commands;
            EXPECT_TRUE(compare.isVisible()) << "still open after \"Nie\"";
            ClickAsUser(*compare.WriteButton());
        });
        DeviceFileContext context = Context(path);
        context.parent = main.GetWindow();
        RunCompareWithFile(device, context);
    });
    EXPECT_EQ(firstRows, (std::vector<std::string>{"Zakres [m/s]", "Wyjście 2: próg max [m/s]",
                                                   "Nr fabryczny"}));
    ASSERT_EQ(app.shown.size(), 2u);
    EXPECT_EQ(app.shown[0].text, "Zapis obejmie wartości, których okna ustawień nie przyjmują:\r\n"
                                 "Zakres [m/s]: 100 (dozwolone od 5 do 20)\r\n"
                                 "Wyjście 2: próg max [m/s]: 20.5 (dozwolone od 2.0 do 20.0)\r\n"
                                 "\r\nZapisać je mimo to?");
    EXPECT_EQ(app.shown[0].type, unsigned{MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2});
    EXPECT_EQ(sentAfterNo,
              (std::vector<std::uint8_t>{CMD_READ_CONFIG, CMD_READ_READER, CMD_READ_ALARMS}));
    EXPECT_EQ(device.memory, file.records) << "written after \"Tak\"";
}

TEST(DeviceFilesWidgetTest, SettingsSheetReadsBackAsText) {
#if defined(_WIN32)
    GTEST_SKIP() << "the sheet's text is read back with poppler's pdftotext, on Linux";
#endif
    CTempDirectory dir("qal-sheet");
    if (std::system(("command -v pdftotext > '" + dir.Join("which") + "' 2>&1").c_str()) != 0) {
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    }
    const std::string pdf = dir.Join("sheet.pdf");
    SettingsSnapshot snapshot = Snapshot();
    snapshot.records.alarms.setMinThreshold(1, -35);
    snapshot.deviceVersionText = "QAL-1P";
    std::string error;
    ASSERT_TRUE(WriteSettingsSheet(QString::fromStdString(pdf), snapshot, error)) << error;

    const std::string command = "pdftotext -layout '" + pdf + "' -";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    ASSERT_NE(pipe, nullptr);
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) {
        text.append(buffer, n);
    }
    for (const char* expected : {"1234", "12.5", "-3.5", "QAL-1P", "Wyjście 2: próg max"}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    }
    EXPECT_EQ(text.find("01234"), std::string::npos) << "the serial number one way\n" << text;

    EXPECT_FALSE(
        WriteSettingsSheet(QString::fromStdString(dir.Join("no/such/sheet.pdf")), snapshot, error));
    EXPECT_EQ(error.rfind("Nie można zapisać pliku '", 0), 0u) << error;
}
