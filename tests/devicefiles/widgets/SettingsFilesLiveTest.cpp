#include "CSettingsCompareDlg.h"
#include "DeviceFileOperations.h"
#include "DeviceMemory.h"
#include "ResourceIds.h"
#include "SettingsComparison.h"
#include "SettingsFileJson.h"
#include "SimProcess.h"
#include "StateFile.h"
#include "TerminalTestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QDate>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <memory>

namespace {

constexpr unsigned kSaveToFile = 0x40;
constexpr unsigned kCompareWithFile = 0x50;
constexpr const char* kCompareTitle = "Porównanie ustawień z plikiem";

// The main window answering the file question from the test, and telling it of each log line.
class FileTerminalDlg : public TestTerminalDlg {
public:
    using TestTerminalDlg::TestTerminalDlg;

    void AppendLog(const std::string& text, bool newLine) override {
        TestTerminalDlg::AppendLog(text, newLine);
        if (onLog) {
            onLog(text);
        }
    }

    std::string file;
    std::vector<std::string> suggested;
    std::function<void(const std::string&)> onLog;

protected:
    std::string AskFileName(FileQuestion, const std::string& name) override {
        suggested.push_back(name);
        return file;
    }
};

DeviceRecords RecordsOf(const DeviceMemory& memory) {
    return {memory.sensorConfig, memory.readerData, memory.alarmData};
}

class SettingsFilesLiveTest : public testing::Test {
protected:
    // A simulator behind port n whose memory starts as given, kept in its state file.
    std::string StartSim(int port, const DeviceMemory& memory) {
        const std::string state = (dir.Path() / ("device" + std::to_string(port))).string();
        std::string error;
        EXPECT_TRUE(SaveStateFile(state, memory, error)) << error;
        sims.push_back(std::make_unique<CSimProcess>(std::vector<std::string>{
            "--link", dir.Path().string(), "--port", std::to_string(port), "--state", state}));
        EXPECT_FALSE(sims.back()->FirstLine().empty()) << sims.back()->Errors();
        return state;
    }
    // Runs body with the main window open as the program runs it (modally), disconnected.
    void RunOpen(const std::function<void()>& body) {
        dir.WriteConfig(SettingsBytes(1, 19200, 31));
        dialog = std::make_unique<FileTerminalDlg>(dir.Path());
        RunInModalLoop(*dialog, [&] {
            EXPECT_FALSE(dialog->OnSysCommand(kSaveToFile)) << "only while connected";
            std::vector<std::string> rows;
            const std::unique_ptr<QMenu> menu = dialog->CreateWindowMenu();
            for (const QAction* action : menu->actions()) {
                if (action->data().toUInt() >= 0x40 && action->data().toUInt() <= 0x60) {
                    rows.push_back(action->text().toStdString());
                    EXPECT_FALSE(action->isEnabled());
                }
            }
            EXPECT_EQ(rows, (std::vector<std::string>{"Zapisz ustawienia urządzenia do pliku…",
                                                      "Porównaj / przywróć z pliku…",
                                                      "Arkusz ustawień…"}));
            body();
        });
    }
    void Connect(int port) {
        dialog->Settings().port = port;
        ClickAsUser(*dialog->GetDlgItem(IDC_CONNECT));
        ASSERT_TRUE(ProcessEventsUntil([&] { return dialog->IsDlgItemEnabled(IDC_DISCONNECT); }));
    }
    void Disconnect() {
        ClickAsUser(*dialog->GetDlgItem(IDC_DISCONNECT));
        ASSERT_TRUE(ProcessEventsUntil([&] { return dialog->IsDlgItemEnabled(IDC_CONNECT); }));
    }
    // Compares with the file and writes, agreeing to a clone when asked.
    void Restore(const std::function<void(CSettingsCompareDlg&)>& check = {}) {
        WhenModalOpens(kCompareTitle, [&](QWidget& window) {
            auto& compare = static_cast<CSettingsCompareDlg&>(window);
            if (check) {
                check(compare);
            }
            if (compare.CloneBox() != nullptr) {
                compare.CloneBox()->setChecked(true);
            }
            ClickAsUser(*compare.WriteButton());
            if (compare.isVisible()) {
                ADD_FAILURE() << "the write was not offered";
                compare.reject();
            }
        });
        EXPECT_TRUE(dialog->OnSysCommand(kCompareWithFile));
    }
    DeviceMemory StateOf(const std::string& path) {
        DeviceMemory memory;
        std::string error;
        EXPECT_EQ(LoadStateFile(path, memory, error), StateLoad::Loaded) << error;
        return memory;
    }
    bool LogHas(const std::string& line) const {
        const std::vector<std::string> lines = LogLines(*dialog);
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    void TearDown() override {
        if (dialog) {
            dialog->DestroyWindow();
        }
    }

    TestApp app;
    TempAppDir dir;
    std::vector<std::unique_ptr<CSimProcess>> sims;
    std::unique_ptr<FileTerminalDlg> dialog;
};

DeviceMemory Memory(std::uint16_t serial, int year) {
    DeviceMemory memory = DefaultDeviceMemory(WallClock::now());
    memory.sensorConfig.setSerialNumber(serial);
    memory.sensorConfig.setProductionYear(year);
    memory.readerData.setSerialNumber(serial);
    return memory;
}

} // namespace

// Back up, change in the dialog, restore; then the same file onto a replacement sensor.
TEST_F(SettingsFilesLiveTest, SaveChangeRestoreAndCloneOntoReplacement) {
    const DeviceMemory original = Memory(1234, 2012);
    const std::string state = StartSim(1, original);
    DeviceMemory replacement = Memory(777, 2019);
    replacement.sensorConfig.setDescription("Nowy");
    replacement.alarmData.setMinThreshold(1, 15);
    const std::string replacementState = StartSim(2, replacement);
    RunOpen([&] {
        Connect(1);

        const std::string saved = (dir.Path() / "backup.json").string();
        dialog->file = saved;
        ASSERT_TRUE(dialog->OnSysCommand(kSaveToFile));
        EXPECT_TRUE(app.shown.empty()) << app.shown.front().text;
        EXPECT_EQ(dialog->suggested,
                  (std::vector<std::string>{
                      "QAL-01234-" + QDate::currentDate().toString("yyyy-MM-dd").toStdString() +
                      ".json"}));
        const SettingsRead backup = LoadSettingsFile(QString::fromStdString(saved));
        ASSERT_TRUE(backup.snapshot) << backup.error;
        EXPECT_EQ(backup.snapshot->records, RecordsOf(original));
        EXPECT_EQ(backup.snapshot->deviceVersionText, "QAL-1P symulator");

        // A change made with the settings dialog.
        WhenModalOpens("Konfiguracja QAL", [](QWidget& settings) {
            settings.findChild<QLineEdit*>(QStringLiteral("control_%1").arg(IDC_DESCRIPTION))
                ->setText(QStringLiteral("Zmieniony"));
            KeyAsUser(settings, Qt::Key_Return);
        });
        ClickAsUser(*dialog->GetDlgItem(IDC_SENSOR_CONFIG));
        ASSERT_NE(StateOf(state).sensorConfig.bytes, original.sensorConfig.bytes);

        Restore([](CSettingsCompareDlg& compare) {
            EXPECT_EQ(compare.CloneBox(), nullptr);
            const QList<QTableWidgetItem*> rows =
                compare.Table()->findItems("Opis", Qt::MatchExactly);
            ASSERT_EQ(rows.size(), 1);
            EXPECT_EQ(compare.Table()->item(rows[0]->row(), 1)->text(), "Zmieniony");
            EXPECT_EQ(compare.Table()->item(rows[0]->row(), 3)->text(), "≠ zmienione");
        });
        EXPECT_TRUE(app.shown.empty()) << app.shown.front().text;
        EXPECT_TRUE(LogHas("Zapisano i sprawdzono: konfiguracja QAL"));
        EXPECT_EQ(RecordsOf(StateOf(state)), RecordsOf(original));

        // The replacement takes everything but its serial numbers and production year.
        Disconnect();
        Connect(2);
        Restore([](CSettingsCompareDlg& compare) {
            ASSERT_NE(compare.CloneBox(), nullptr);
            EXPECT_FALSE(compare.WriteButton()->isEnabled()) << "not before the user agrees";
        });
        EXPECT_TRUE(app.shown.empty()) << app.shown.front().text;
        const DeviceRecords cloned = RecordsOf(StateOf(replacementState));
        EXPECT_EQ(cloned.config.serialNumber(), 777);
        EXPECT_EQ(cloned.config.productionYear(), 2019);
        EXPECT_EQ(cloned.reader.serialNumber(), 777);
        EXPECT_EQ(cloned, CloneOnto(RecordsOf(replacement), RecordsOf(original)));
    });
}

// The device falls silent after the first record: the box and the log say what was written.
TEST_F(SettingsFilesLiveTest, SilentDeviceInTheMiddleOfRestoreIsReported) {
    const DeviceMemory memory = Memory(1234, 2012);
    const std::string state = StartSim(1, memory);
    SettingsSnapshot file;
    file.records = RecordsOf(memory);
    file.records.config.setDescription("Z pliku");
    file.records.reader.setRecordInterval(77);
    file.records.alarms.setMaxThreshold(3, 99);
    const std::string path = (dir.Path() / "file.json").string();
    std::error_code error;
    ASSERT_TRUE(SaveSettingsFile(QString::fromStdString(path), file, error)) << error.message();

    RunOpen([&] {
        Connect(1);
        dialog->file = path;
        dialog->onLog = [&](const std::string& line) {
            if (line == "Zapis danych czytnika") {
                sims[0]->Signal(SIGSTOP);
            }
        };
        Restore();
        ASSERT_EQ(app.shown.size(), 1u);
        EXPECT_EQ(app.shown[0].text,
                  "Nie udało się przywrócić wszystkich ustawień.\r\n"
                  "Zapisano i sprawdzono: konfiguracja QAL\r\n"
                  "Urządzenie nie odpowiedziało na zapis (nie wiadomo, czy zapisano): konfiguracja "
                  "czytnika\r\n"
                  "Nie zapisano: konfiguracja wyjść");
        EXPECT_TRUE(LogHas("Nie zapisano: konfiguracja wyjść"));
        const DeviceMemory after = StateOf(state);
        EXPECT_EQ(after.sensorConfig.bytes, file.records.config.bytes);
        EXPECT_EQ(after.alarmData.bytes, memory.alarmData.bytes);
        sims[0]->Signal(SIGCONT);
    });
}
