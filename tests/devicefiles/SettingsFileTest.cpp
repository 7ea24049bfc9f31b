#include "FakeDevice.h"
#include "OutputsForm.h"
#include "SensorConfigForm.h"
#include "SettingsFileJson.h"
#include "TempDirectory.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

QJsonObject Fields(const QByteArray& json, const char* record) {
    return QJsonDocument::fromJson(json)
        .object()["records"]
        .toObject()[record]
        .toObject()["fields"]
        .toObject();
}

std::string Text(const QJsonObject& object, const char* key) {
    return object[key].toString().toStdString();
}

} // namespace

// Every byte comes back, the ones the terminal does not interpret included, and the fields a
// person reads are the dialogs' own.
TEST(SettingsFileTest, RandomRecordsSurviveTheFileByteForByte) {
    std::mt19937 random(2026);
    for (int round = 0; round < 300; ++round) {
        SettingsSnapshot saved;
        saved.records = RandomRecords(random);
        saved.savedAt = "2026-12-08T10:11:12+01:00";
        saved.port = "COM3";
        saved.deviceVersionText = "QAL-1P żółw";
        saved.deviceVersion = round % 256;
        const QByteArray json = SettingsToJson(saved);
        const SettingsRead read = SettingsFromJson(json);
        ASSERT_TRUE(read.snapshot) << read.error;
        ASSERT_EQ(read.snapshot->records, saved.records) << round;
        EXPECT_EQ(read.snapshot->deviceVersionText, saved.deviceVersionText);
        EXPECT_EQ(read.snapshot->deviceVersion, saved.deviceVersion);

        SensorConfigForm config;
        config.m_record = saved.records.config;
        config.RecordToFields();
        const QJsonObject configFields = Fields(json, "sensorConfig");
        EXPECT_EQ(Text(configFields, "serialNumber"), config.m_strSerial);
        EXPECT_EQ(Text(configFields, "range"), std::to_string(config.m_nRange));
        EXPECT_EQ(Text(configFields, "description"), config.m_strDescription);
        OutputsForm outputs;
        outputs.m_record = saved.records.alarms;
        outputs.RecordToFields();
        const QJsonObject outputFields = Fields(json, "outputs");
        EXPECT_EQ(Text(outputFields, "output3.min"), outputs.m_strMin[2]);
        EXPECT_EQ(Text(outputFields, "output1.inverted"), std::to_string(outputs.m_bInverted[0]));
    }
}

TEST(SettingsFileTest, SaveReplacesTheFileWholeAndLeavesNothingBesideIt) {
    CTempDirectory dir("qal-settings-file");
    const QString path = QString::fromStdString(dir.Join("QAL-00042-2026-12-08.json"));
    std::mt19937 random(5);
    SettingsSnapshot snapshot;
    for (int i = 0; i < 2; ++i) {
        snapshot.records = RandomRecords(random);
        std::string error;
        ASSERT_TRUE(SaveSettingsFile(path, snapshot, error)) << error;
    }
    const SettingsRead read = LoadSettingsFile(path);
    ASSERT_TRUE(read.snapshot) << read.error;
    EXPECT_EQ(read.snapshot->records, snapshot.records);
    EXPECT_EQ(QDir(QString::fromStdString(dir.Path())).entryList(QDir::Files).size(), 1);

    std::string error;
    EXPECT_FALSE(
        SaveSettingsFile(QString::fromStdString(dir.Join("no/such/dir.json")), snapshot, error));
    EXPECT_EQ(error.rfind("Nie można zapisać pliku: ", 0), 0u) << error;
}
