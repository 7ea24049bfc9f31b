#pragma once

#include "DeviceOperationOwner.h"

#include <functional>
#include <string>

class QWidget;

enum class FileQuestion { SaveSettings, OpenSettings, SaveSheet };

// What the settings-file operations need beyond the device: the connection for the file's
// record of it, the program's version, and the question for a file name (a file dialog in the
// program, a script in the tests). An empty answer means the user gave up.
struct DeviceFileContext {
    std::string port; // "COM1"
    int baudRate = 0;
    int address = 0;
    int programVersion = 0;
    QWidget* parent = nullptr;
    std::function<std::string(FileQuestion, const std::string& suggested)> askFileName;
};

// "Zapisz ustawienia urządzenia do pliku…": versions and the three records, then the file. A
// read that fails ends it with the usual box and no file.
void RunSaveSettingsToFile(IDeviceOperationOwner& owner, const DeviceFileContext& context);

// "Porównaj / przywróć z pliku…": the file first (a refused file sends nothing to the device),
// then the device's records, the comparison, and on the user's word the restore.
void RunCompareWithFile(IDeviceOperationOwner& owner, const DeviceFileContext& context);

// "Arkusz ustawień…": the device's versions and settings on a PDF page.
void RunSettingsSheet(IDeviceOperationOwner& owner, const DeviceFileContext& context);

// The file dialog that asks the question in the program.
std::string AskFileNameWithDialog(QWidget* parent, FileQuestion question,
                                  const std::string& suggested);
