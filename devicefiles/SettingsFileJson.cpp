#include "SettingsFileJson.h"

#include "DecodedFields.h"
#include "FileError.h"
#include "FileReplace.h"
#include "RegularFile.h"
#include "Utf8Path.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>

#include <cctype>

namespace {

std::string Quoted(const std::string& text) {
    return "„" + text + "”";
}

SettingsProblem Problem(SettingsProblem::Kind kind) {
    SettingsProblem problem;
    problem.kind = kind;
    return problem;
}

SettingsRead Refused(SettingsProblem problem) {
    SettingsRead read;
    read.error = SettingsProblemText(problem, {});
    read.problem = std::move(problem);
    return read;
}

SettingsRead RecordRefused(SettingsProblem::Kind kind, RecordKind record, long long number = 0) {
    SettingsProblem problem = Problem(kind);
    problem.record = record;
    problem.number = number;
    return Refused(std::move(problem));
}

// False when the text is not hex of exactly into's size; read then says why.
bool ReadHex(const QString& text, std::span<std::uint8_t> into, RecordKind kind,
             SettingsRead& read) {
    for (const QChar c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c.toLatin1())) || c.unicode() > 0x7F) {
            read = RecordRefused(SettingsProblem::Kind::NotHex, kind);
            return false;
        }
    }
    if (text.size() != static_cast<qsizetype>(into.size() * 2)) {
        read = RecordRefused(SettingsProblem::Kind::WrongSize, kind, text.size());
        return false;
    }
    const QByteArray bytes = QByteArray::fromHex(text.toLatin1());
    std::copy(bytes.begin(), bytes.end(), into.begin());
    return true;
}

} // namespace

std::string SettingsProblemText(const SettingsProblem& problem, const std::string& path) {
    using Kind = SettingsProblem::Kind;
    const std::string record = Quoted(InfoOf(problem.record).name);
    switch (problem.kind) {
    case Kind::None:
        return {};
    case Kind::Unreadable:
        return CannotReadFileText(path, problem.error);
    case Kind::TooBig:
        return "Plik jest za duży (ponad 1 MB): to nie jest plik ustawień.";
    case Kind::NotJson:
        return "To nie jest plik ustawień: plik nie jest poprawnym plikiem JSON" +
               (problem.detail.empty()
                    ? std::string(".")
                    : " (" + problem.detail + ", znak " + std::to_string(problem.number) + ").");
    case Kind::OtherFormat:
        return "To nie jest plik ustawień urządzenia QAL (inny format pliku).";
    case Kind::NewerVersion:
        return "Plik zapisano w nowszej wersji formatu (" + std::to_string(problem.number) +
               "); ten program zna wersję " + std::to_string(kSettingsFormatVersion) +
               ". Użyj nowszego programu.";
    case Kind::BadVersion:
        return "Plik ma niepoprawny numer wersji formatu.";
    case Kind::MissingRecord:
        return "W pliku brak rekordu " + record + ".";
    case Kind::NotHex:
        return "Rekord " + record + " w pliku nie jest zapisem szesnastkowym.";
    case Kind::WrongSize: {
        const std::size_t size = BytesOf(DeviceRecords{}, problem.record).size();
        return "Rekord " + record + " w pliku ma " + std::to_string(problem.number / 2) +
               (problem.number % 2 != 0 ? ",5" : "") + " bajtów zamiast " + std::to_string(size) +
               ".";
    }
    case Kind::EditedField:
        return "Pole " + Quoted(problem.label) + " rekordu " + record +
               " nie zgadza się z bajtami rekordu (" + problem.value +
               "): plik zmieniono ręcznie. Nie użyto go.";
    }
    return {};
}

QByteArray SettingsToJson(const SettingsSnapshot& snapshot) {
    QJsonObject records;
    const std::vector<DecodedField> fields = DecodeFields(snapshot.records);
    for (const RecordKind kind : kAllRecords) {
        const auto bytes = BytesOf(snapshot.records, kind);
        QJsonObject decoded;
        for (const DecodedField& field : fields) {
            if (field.record == kind) {
                decoded.insert(QString::fromStdString(field.key),
                               QString::fromStdString(field.value));
            }
        }
        records.insert(
            InfoOf(kind).key,
            QJsonObject{{"bytes",
                         QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                                        static_cast<qsizetype>(bytes.size()))
                                                 .toHex())},
                        {"fields", decoded}});
    }
    const QJsonObject root{
        {"format", kSettingsFormatName},
        {"formatVersion", kSettingsFormatVersion},
        {"programVersion", snapshot.programVersion},
        {"savedAt", QString::fromStdString(snapshot.savedAt)},
        {"connection", QJsonObject{{"port", QString::fromStdString(snapshot.port)},
                                   {"baudRate", snapshot.baudRate},
                                   {"address", snapshot.address}}},
        {"device", QJsonObject{{"versionText", QString::fromStdString(snapshot.deviceVersionText)},
                               {"versionNumber", snapshot.deviceVersion}}},
        {"records", records},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::string SavedAtNow() {
    const QDateTime now = QDateTime::currentDateTime();
    return now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODate).toStdString();
}

SettingsRead SettingsFromJson(const QByteArray& json) {
    using Kind = SettingsProblem::Kind;
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (document.isNull() || !document.isObject()) {
        SettingsProblem problem = Problem(Kind::NotJson);
        if (parseError.error != QJsonParseError::NoError) {
            problem.detail = parseError.errorString().toStdString();
            problem.number = parseError.offset;
        }
        return Refused(std::move(problem));
    }
    const QJsonObject root = document.object();
    if (root.value("format").toString() != QLatin1String(kSettingsFormatName)) {
        return Refused(Problem(Kind::OtherFormat));
    }
    // Missing, not a whole number, or below 1: no file of this format says so.
    const int version = root.value("formatVersion").toInt(0);
    if (version > kSettingsFormatVersion) {
        SettingsProblem problem = Problem(Kind::NewerVersion);
        problem.number = version;
        return Refused(std::move(problem));
    }
    if (version < 1) {
        return Refused(Problem(Kind::BadVersion));
    }

    SettingsSnapshot snapshot;
    snapshot.programVersion = root.value("programVersion").toInt();
    snapshot.savedAt = root.value("savedAt").toString().toStdString();
    const QJsonObject connection = root.value("connection").toObject();
    snapshot.port = connection.value("port").toString().toStdString();
    snapshot.baudRate = connection.value("baudRate").toInt();
    snapshot.address = connection.value("address").toInt();
    const QJsonObject device = root.value("device").toObject();
    snapshot.deviceVersionText = device.value("versionText").toString().toStdString();
    snapshot.deviceVersion = device.value("versionNumber").toInt();

    const QJsonObject records = root.value("records").toObject();
    for (const RecordKind kind : kAllRecords) {
        const QJsonValue bytes = records.value(InfoOf(kind).key).toObject().value("bytes");
        if (!bytes.isString()) {
            return RecordRefused(Kind::MissingRecord, kind);
        }
        SettingsRead refused;
        if (!ReadHex(bytes.toString(), BytesOf(snapshot.records, kind), kind, refused)) {
            return refused;
        }
    }
    // A field edited by hand would say one thing while a restore writes another.
    for (const DecodedField& field : DecodeFields(snapshot.records)) {
        const QJsonValue inFile = records.value(InfoOf(field.record).key)
                                      .toObject()
                                      .value("fields")
                                      .toObject()
                                      .value(QString::fromStdString(field.key));
        if (!inFile.isUndefined() && inFile.toString() != QString::fromStdString(field.value)) {
            SettingsProblem problem = Problem(Kind::EditedField);
            problem.record = field.record;
            problem.detail = field.key;
            problem.label = field.label;
            problem.value = field.value;
            return Refused(std::move(problem));
        }
    }
    return {snapshot, {}, {}};
}

SettingsRead SettingsFromFileData(const QByteArray& data) {
    if (data.size() > kMaxSettingsFileSize) {
        return Refused(Problem(SettingsProblem::Kind::TooBig));
    }
    return SettingsFromJson(data);
}

SettingsRead LoadSettingsFile(const QString& path) {
    std::string content;
    std::error_code error;
    // One byte over the limit tells a file too big from one just at it.
    if (ReadRegularFile(PathFromUtf8(path.toStdString()), kMaxSettingsFileSize + 1, content,
                        error) != RegularFileRead::Read) {
        SettingsRead read;
        read.problem = Problem(SettingsProblem::Kind::Unreadable);
        read.problem.error = error;
        read.error = SettingsProblemText(read.problem, path.toStdString());
        return read;
    }
    return SettingsFromFileData(QByteArray::fromStdString(content));
}

bool SaveSettingsFile(const QString& path, const SettingsSnapshot& snapshot,
                      std::error_code& error) {
    const QByteArray json = SettingsToJson(snapshot);
    return ReplaceFileContent(PathFromUtf8(path.toStdString()), json.constData(),
                              static_cast<std::size_t>(json.size()),
                              error) == FileReplaceResult::Written;
}
