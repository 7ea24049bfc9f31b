#include "SettingsFileJson.h"

#include "DecodedFields.h"

#include <QDateTime>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <cctype>

namespace {

std::string Quoted(const std::string& text) {
    return "„" + text + "”";
}

SettingsRead Refused(std::string error) {
    return {std::nullopt, std::move(error)};
}

// Null when the text is not hex of exactly size bytes; error then says which.
bool ReadHex(const QString& text, std::span<std::uint8_t> into, const RecordInfo& info,
             std::string& error) {
    for (const QChar c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c.toLatin1())) || c.unicode() > 0x7F) {
            error = "Rekord " + Quoted(info.name) + " w pliku nie jest zapisem szesnastkowym.";
            return false;
        }
    }
    if (text.size() != static_cast<qsizetype>(into.size() * 2)) {
        error = "Rekord " + Quoted(info.name) + " w pliku ma " + std::to_string(text.size() / 2) +
                (text.size() % 2 != 0 ? ",5" : "") + " bajtów zamiast " +
                std::to_string(into.size()) + ".";
        return false;
    }
    const QByteArray bytes = QByteArray::fromHex(text.toLatin1());
    std::copy(bytes.begin(), bytes.end(), into.begin());
    return true;
}

} // namespace

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
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (document.isNull() || !document.isObject()) {
        return Refused("To nie jest plik ustawień: plik nie jest poprawnym plikiem JSON" +
                       (parseError.error != QJsonParseError::NoError
                            ? " (" + parseError.errorString().toStdString() + ", znak " +
                                  std::to_string(parseError.offset) + ")."
                            : "."));
    }
    const QJsonObject root = document.object();
    if (root.value("format").toString() != QLatin1String(kSettingsFormatName)) {
        return Refused("To nie jest plik ustawień urządzenia QAL (inny format pliku).");
    }
    const int version = root.value("formatVersion").toInt(0);
    if (version > kSettingsFormatVersion) {
        return Refused("Plik zapisano w nowszej wersji formatu (" + std::to_string(version) +
                       "); ten program zna wersję " + std::to_string(kSettingsFormatVersion) +
                       ". Użyj nowszego programu.");
    }
    if (version < 1) {
        return Refused("Plik ma niepoprawny numer wersji formatu.");
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
        const RecordInfo& info = InfoOf(kind);
        const QJsonValue bytes = records.value(info.key).toObject().value("bytes");
        if (!bytes.isString()) {
            return Refused("W pliku brak rekordu " + Quoted(info.name) + ".");
        }
        std::string error;
        if (!ReadHex(bytes.toString(), BytesOf(snapshot.records, kind), info, error)) {
            return Refused(error);
        }
    }
    // A field edited by hand would say one thing while a restore writes another.
    for (const DecodedField& field : DecodeFields(snapshot.records)) {
        const RecordInfo& info = InfoOf(field.record);
        const QJsonValue inFile =
            records.value(info.key).toObject().value("fields").toObject().value(
                QString::fromStdString(field.key));
        if (!inFile.isUndefined() && inFile.toString() != QString::fromStdString(field.value)) {
            return Refused("Pole " + Quoted(field.label) + " rekordu " + Quoted(info.name) +
                           " nie zgadza się z bajtami rekordu (" + field.value +
                           "): plik zmieniono ręcznie. Nie użyto go.");
        }
    }
    return {snapshot, {}};
}

SettingsRead LoadSettingsFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return Refused("Nie można odczytać pliku: " + file.errorString().toStdString());
    }
    // One byte over the limit tells a file too big from one just at it.
    const QByteArray data = file.read(kMaxSettingsFileSize + 1);
    if (file.error() != QFileDevice::NoError) {
        return Refused("Nie można odczytać pliku: " + file.errorString().toStdString());
    }
    if (data.size() > kMaxSettingsFileSize) {
        return Refused("Plik jest za duży (ponad 1 MB): to nie jest plik ustawień.");
    }
    return SettingsFromJson(data);
}

bool SaveSettingsFile(const QString& path, const SettingsSnapshot& snapshot, std::string& error) {
    QSaveFile file(path);
    const QByteArray json = SettingsToJson(snapshot);
    if (!file.open(QIODevice::WriteOnly) || file.write(json) != json.size() || !file.commit()) {
        error = "Nie można zapisać pliku: " + file.errorString().toStdString();
        return false;
    }
    return true;
}
