#include "DeviceFileOperations.h"

#include "CSettingsCompareDlg.h"
#include "CWinApp.h"
#include "DeviceSettingsTransfer.h"
#include "FileError.h"
#include "MessageBoxTypes.h"
#include "OperationTexts.h"
#include "SettingsFileJson.h"
#include "SettingsSheet.h"

#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace {

// The version and the three records; false (after the usual box) when one read failed.
bool ReadSnapshot(IDeviceOperationOwner& owner, const DeviceFileContext& context,
                  SettingsSnapshot& snapshot) {
    if (!ReadDeviceVersion(owner, snapshot.deviceVersionText, snapshot.deviceVersion) ||
        !ReadDeviceRecords(owner, snapshot.records)) {
        AfxMessageBox(kNoAnswerText, MB_OK);
        return false;
    }
    snapshot.savedAt = SavedAtNow();
    snapshot.programVersion = context.programVersion;
    snapshot.port = context.port;
    snapshot.baudRate = context.baudRate;
    snapshot.address = context.address;
    return true;
}

std::string DefaultName(const SettingsSnapshot& snapshot, const char* extension) {
    const QDate today = QDate::currentDate();
    std::string name = DefaultSettingsFileName(snapshot.records.config.serialNumber(), today.year(),
                                               today.month(), today.day());
    return name.substr(0, name.rfind('.')) + extension;
}

std::string DescribeFile(const std::string& path, const SettingsSnapshot& file) {
    return "Plik: " + QFileInfo(QString::fromStdString(path)).fileName().toStdString() +
           ", zapisany " + file.savedAt + " (" + file.port + ", adres " +
           std::to_string(file.address) + ").";
}

} // namespace

void RunSaveSettingsToFile(IDeviceOperationOwner& owner, const DeviceFileContext& context) {
    SettingsSnapshot snapshot;
    if (!ReadSnapshot(owner, context, snapshot)) {
        return;
    }
    const std::string path =
        context.askFileName(FileQuestion::SaveSettings, DefaultName(snapshot, ".json"));
    if (path.empty()) {
        return;
    }
    std::error_code error;
    if (!SaveSettingsFile(QString::fromStdString(path), snapshot, error)) {
        AfxMessageBox(CannotWriteFileText(path, error), MB_OK);
        return;
    }
    owner.AppendLog("Zapisano ustawienia urządzenia do pliku " + path, true);
}

void RunCompareWithFile(IDeviceOperationOwner& owner, const DeviceFileContext& context) {
    const std::string path = context.askFileName(FileQuestion::OpenSettings, {});
    if (path.empty()) {
        return;
    }
    const SettingsRead file = LoadSettingsFile(QString::fromStdString(path));
    if (!file.snapshot) {
        AfxMessageBox(file.error, MB_OK);
        return;
    }
    DeviceRecords device;
    if (!ReadDeviceRecords(owner, device)) {
        AfxMessageBox(kNoAnswerText, MB_OK);
        return;
    }
    const SettingsComparison comparison = CompareSettings(device, file.snapshot->records);
    CSettingsCompareDlg dialog(comparison, DescribeFile(path, *file.snapshot), context.parent);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    owner.AppendLog("Przywracanie ustawień z pliku " + path, true);
    const RestoreOutcome outcome =
        RestoreRecords(owner, comparison.target, comparison.recordsToWrite);
    if (!outcome.Succeeded()) {
        std::string text = "Nie udało się przywrócić wszystkich ustawień.";
        for (const std::string& line : DescribeOutcome(outcome)) {
            text += "\r\n" + line;
        }
        AfxMessageBox(text, MB_OK);
    }
}

void RunSettingsSheet(IDeviceOperationOwner& owner, const DeviceFileContext& context) {
    SettingsSnapshot snapshot;
    if (!ReadSnapshot(owner, context, snapshot)) {
        return;
    }
    const std::string path =
        context.askFileName(FileQuestion::SaveSheet, DefaultName(snapshot, ".pdf"));
    if (path.empty()) {
        return;
    }
    std::string error;
    if (!WriteSettingsSheet(QString::fromStdString(path), snapshot, error)) {
        AfxMessageBox(error, MB_OK);
        return;
    }
    owner.AppendLog("Zapisano arkusz ustawień do pliku " + path, true);
}

std::string AskFileNameWithDialog(QWidget* parent, FileQuestion question,
                                  const std::string& suggested) {
    const QString start = QDir(QDir::homePath()).filePath(QString::fromStdString(suggested));
    QString path;
    switch (question) {
    case FileQuestion::SaveSettings:
        path = QFileDialog::getSaveFileName(parent, QStringLiteral("Zapisz ustawienia urządzenia"),
                                            start, QStringLiteral("Ustawienia QAL (*.json)"));
        break;
    case FileQuestion::OpenSettings:
        path = QFileDialog::getOpenFileName(parent, QStringLiteral("Porównaj z plikiem"),
                                            QDir::homePath(),
                                            QStringLiteral("Ustawienia QAL (*.json)"));
        break;
    case FileQuestion::SaveSheet:
        path = QFileDialog::getSaveFileName(parent, QStringLiteral("Zapisz arkusz ustawień"), start,
                                            QStringLiteral("PDF (*.pdf)"));
        break;
    }
    return path.toStdString();
}
