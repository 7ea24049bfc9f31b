#include "FakeDevice.h"
#include "FileError.h"
#include "OddFiles.h"
#include "OutputsForm.h"
#include "SensorConfigForm.h"
#include "SettingsFileJson.h"
#include "TempDirectory.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>

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
        std::error_code error;
        ASSERT_TRUE(SaveSettingsFile(path, snapshot, error)) << error.message();
    }
    const SettingsRead read = LoadSettingsFile(path);
    ASSERT_TRUE(read.snapshot) << read.error;
    EXPECT_EQ(read.snapshot->records, snapshot.records);
    EXPECT_EQ(QDir(QString::fromStdString(dir.Path())).entryList(QDir::Files).size(), 1);

    std::error_code error;
    EXPECT_FALSE(
        SaveSettingsFile(QString::fromStdString(dir.Join("no/such/dir.json")), snapshot, error));
    EXPECT_TRUE(error);
}

// Only a regular file is read or replaced: a pipe given as the file is refused at once (a
// blocking open would hang here), and nothing in the file's place is ever replaced.
TEST(SettingsFileTest, OddFilesAreRefusedWithoutWaitingAndStay) {
    CTempDirectory dir("qal-settings-odd");
    for (const OddFile kind : kAllOddFiles) {
        SCOPED_TRACE(OddFileName(kind));
        const std::string path = dir.Join(OddFileName(kind));
        std::string why;
        if (!MakeOddFile(kind, path, why)) {
            std::cout << "skipped: " << why << "\n";
            continue;
        }
        const auto type = std::filesystem::status(path).type();
        const std::string reason =
            kind == OddFile::Folder ? "To jest katalog" : "To nie jest zwykły plik";
        const SettingsRead read = LoadSettingsFile(QString::fromStdString(path));
        EXPECT_FALSE(read.snapshot);
        EXPECT_EQ(read.problem.kind, SettingsProblem::Kind::Unreadable);
        EXPECT_EQ(read.error, "Nie można odczytać pliku '" + path + "': " + reason);

        std::error_code error;
        EXPECT_FALSE(SaveSettingsFile(QString::fromStdString(path), SettingsSnapshot{}, error));
        EXPECT_EQ(FileReasonText(error), reason);
        EXPECT_EQ(std::filesystem::status(path).type(), type);
    }
}

// The format's version says which files this program can read: none below 1 or without one.
TEST(SettingsFileTest, FormatVersionMustBeOneThisProgramKnows) {
    const QJsonObject saved = QJsonDocument::fromJson(SettingsToJson(SettingsSnapshot{})).object();
    using Kind = SettingsProblem::Kind;
    const struct {
        const char* name;
        QJsonValue version; // undefined: no formatVersion at all
        Kind kind;
    } cases[] = {
        {"1", 1, Kind::None},
        {"missing", QJsonValue(QJsonValue::Undefined), Kind::BadVersion},
        {"0", 0, Kind::BadVersion},
        {"-1", -1, Kind::BadVersion},
        {"1.5", 1.5, Kind::BadVersion},
        {"text", "1", Kind::BadVersion},
        {"null", QJsonValue(), Kind::BadVersion},
        {"2", 2, Kind::NewerVersion},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QJsonObject root = saved;
        if (c.version.isUndefined()) {
            root.remove("formatVersion");
        } else {
            root["formatVersion"] = c.version;
        }
        const SettingsRead read = SettingsFromJson(QJsonDocument(root).toJson());
        EXPECT_EQ(read.problem.kind, c.kind);
        EXPECT_EQ(read.snapshot.has_value(), c.kind == Kind::None) << read.error;
        if (c.kind == Kind::BadVersion) {
            EXPECT_EQ(read.error, "Plik ma niepoprawny numer wersji formatu.");
        }
    }
}
