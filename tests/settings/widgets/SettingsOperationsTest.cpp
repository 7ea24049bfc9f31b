#include "SettingsTestSupport.h"

#include "AlarmDataRecord.h"
#include "DeviceCommands.h"
#include "MessageBoxTypes.h"
#include "ReaderDataRecord.h"
#include "ResourceIds.h"
#include "SensorConfigRecord.h"
#include "SettingsOperations.h"

#include <QAbstractButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct OperationCase {
    const char* name;
    void (*run)(IDeviceOperationOwner&);
    std::uint8_t readCommand, writeCommand;
    const char *readText, *writeText, *title;
    std::vector<std::uint8_t> record; // a record its dialog accepts as it is
};

std::vector<OperationCase> Operations() {
    SensorConfigRecord sensor;
    sensor.setRange(-150);
    sensor.setDescription("QAL");
    sensor.bytes[0] = 0xA5;
    ReaderDataRecord reader;
    reader.setSerialNumber(42);
    reader.setRecordInterval(10);
    reader.bytes[25] = 0x5A;
    AlarmDataRecord alarms;
    alarms.setMaxThreshold(1, 120);
    alarms.bytes[19] = 0x77;
    return {
        {"sensor",
         &RunSensorConfig,
         CMD_READ_CONFIG,
         CMD_WRITE_CONFIG,
         "Odczyt konfiguracji",
         "Zapis konfiguracji",
         "Konfiguracja QAL",
         {sensor.bytes.begin(), sensor.bytes.end()}},
        {"reader",
         &RunReaderConfig,
         CMD_READ_READER,
         CMD_WRITE_READER,
         "Odczyt danych czytnika",
         "Zapis danych czytnika",
         "Konfiguracja czytnika",
         {reader.bytes.begin(), reader.bytes.end()}},
        {"outputs",
         &RunOutputs,
         CMD_READ_ALARMS,
         CMD_WRITE_ALARMS,
         "Odczyt danych alarmów",
         "Zapis danych alarmów",
         "Konfiguracja wyjść",
         {alarms.bytes.begin(), alarms.bytes.end()}},
    };
}

void ExpectNoAnswerBox(const TestApp& app) {
    ASSERT_EQ(app.shown.size(), 1u);
    EXPECT_EQ(app.shown[0].text, "Urządzenie nie odpowiada");
    EXPECT_EQ(app.shown[0].type & MB_TYPEMASK, unsigned{MB_OK});
    EXPECT_EQ(EffectiveMessageBoxIcon(app.shown[0].type), unsigned{MB_ICONEXCLAMATION});
}

TEST(SettingsOperations, ReadShowConfirmWriteTheWholeRecord) {
    for (const OperationCase& op : Operations()) {
        SCOPED_TRACE(op.name);
        TestApp app;
        FakeOwner owner;
        // A longer answer is fine: the record is its first bytes.
        std::vector<std::uint8_t> answer = op.record;
        answer.resize(LinkMessage::kPayloadCapacity, 0xEE);
        owner.Answer(answer);
        owner.Answer({});
        std::string title;
        WhenModalOpens([&](QWidget& dialog) {
            title = dialog.windowTitle().toStdString();
            QTest::keyClick(&dialog, Qt::Key_Return);
        });
        op.run(owner);

        EXPECT_EQ(title, op.title);
        ASSERT_EQ(owner.requests.size(), 2u);
        EXPECT_EQ(owner.requests[0].command, op.readCommand);
        EXPECT_TRUE(owner.requests[0].payload.empty());
        EXPECT_EQ(owner.requests[1].command, op.writeCommand);
        EXPECT_EQ(owner.requests[1].payload, op.record);
        EXPECT_EQ(owner.log, (std::vector<std::string>{op.readText, op.writeText}));
        EXPECT_TRUE(app.shown.empty());
    }
}

TEST(SettingsOperations, NoAnswerToTheReadOpensNothing) {
    for (const OperationCase& op : Operations()) {
        SCOPED_TRACE(op.name);
        TestApp app;
        FakeOwner owner;
        owner.NoAnswer();
        ModalWatch watch;
        op.run(owner);
        EXPECT_EQ(watch.Opened(), 0);
        EXPECT_EQ(owner.requests.size(), 1u);
        EXPECT_EQ(owner.log, (std::vector<std::string>{op.readText}));
        ExpectNoAnswerBox(app);
    }
}

TEST(SettingsOperations, ShortAnswerIsRefusedAndNothingIsEverWritten) {
    for (const OperationCase& op : Operations()) {
        SCOPED_TRACE(op.name);
        TestApp app;
        FakeOwner owner;
        const std::vector<std::uint8_t> shortAnswer(op.record.begin(), op.record.end() - 1);
        owner.Answer(shortAnswer);
        ModalWatch watch;
        op.run(owner);
        EXPECT_EQ(watch.Opened(), 0);
        EXPECT_EQ(owner.requests.size(), 1u);
        const std::string why =
            "Za krótka odpowiedź urządzenia: " + std::to_string(shortAnswer.size()) + " z " +
            std::to_string(op.record.size()) + " bajtów";
        EXPECT_EQ(owner.log, (std::vector<std::string>{op.readText, why}));
        ExpectNoAnswerBox(app);
    }
}

TEST(SettingsOperations, CancelEscAndCloseBoxSendNothing) {
    for (const OperationCase& op : Operations()) {
        for (const std::string how : {"Zaniechaj", "Esc", "close box"}) {
            SCOPED_TRACE(std::string(op.name) + " " + how);
            TestApp app;
            FakeOwner owner;
            owner.Answer(op.record);
            owner.Answer({});
            WhenModalOpens([&](QWidget& dialog) {
                if (how == "Zaniechaj") {
                    QTest::mouseClick(&Control<QAbstractButton>(dialog, IDCANCEL), Qt::LeftButton);
                } else if (how == "Esc") {
                    QTest::keyClick(&dialog, Qt::Key_Escape);
                } else {
                    dialog.close();
                }
            });
            op.run(owner);
            EXPECT_EQ(owner.requests.size(), 1u);
            EXPECT_EQ(owner.log, (std::vector<std::string>{op.readText}));
            EXPECT_TRUE(app.shown.empty());
        }
    }
}

TEST(SettingsOperations, NoAnswerToTheWriteIsReported) {
    for (const OperationCase& op : Operations()) {
        SCOPED_TRACE(op.name);
        TestApp app;
        FakeOwner owner;
        owner.Answer(op.record);
        owner.NoAnswer();
        WhenModalOpens([](QWidget& dialog) { QTest::keyClick(&dialog, Qt::Key_Return); });
        op.run(owner);
        EXPECT_EQ(owner.requests.size(), 2u);
        EXPECT_EQ(owner.log, (std::vector<std::string>{op.readText, op.writeText}));
        ExpectNoAnswerBox(app);
    }
}

} // namespace
