#include "SettingsOperations.h"

#include "AnswerCheck.h"
#include "COutputsDlg.h"
#include "CReaderConfigDlg.h"
#include "CSensorConfigDlg.h"
#include "CWinApp.h"
#include "DeviceCommands.h"
#include "MessageBoxTypes.h"
#include "OperationTexts.h"
#include "ResourceIds.h"

#include <algorithm>
#include <cstddef>
#include <string>

namespace {

struct Operation {
    std::uint8_t readCommand;
    const char* readText;
    std::uint8_t writeCommand;
    const char* writeText;
};

void ReportNoAnswer() {
    AfxMessageBox(kNoAnswerText, MB_OK);
}

template <typename Dialog> void ReadEditWrite(IDeviceOperationOwner& owner, const Operation& op) {
    constexpr std::size_t kSize = decltype(Dialog::m_record)::kSize;
    static_assert(kSize <= LinkMessage::kPayloadCapacity);

    owner.AppendLog(op.readText, true);
    const LinkMessage* answer = owner.RunRequest(op.readCommand, nullptr, 0);
    if (answer == nullptr) {
        ReportNoAnswer();
        return;
    }
    // The rest of the record would be whatever the message buffer held, and the write would
    // send it to the device as its settings.
    if (!AnswerHolds(owner, *answer, kSize)) {
        ReportNoAnswer();
        return;
    }

    Dialog dialog;
    // The answer is valid only until the next request; the dialog keeps its own copy.
    std::copy_n(answer->payload, kSize, dialog.m_record.bytes.begin());
    if (dialog.DoModal() != IDOK) {
        return;
    }

    owner.AppendLog(op.writeText, true);
    // Any answer means the write was done; its content says nothing more.
    if (owner.RunRequest(op.writeCommand, dialog.m_record.bytes.data(),
                         static_cast<std::uint8_t>(kSize)) == nullptr) {
        ReportNoAnswer();
    }
}

} // namespace

void RunSensorConfig(IDeviceOperationOwner& owner) {
    ReadEditWrite<CSensorConfigDlg>(
        owner, {CMD_READ_CONFIG, "Odczyt konfiguracji", CMD_WRITE_CONFIG, "Zapis konfiguracji"});
}

void RunReaderConfig(IDeviceOperationOwner& owner) {
    ReadEditWrite<CReaderConfigDlg>(owner, {CMD_READ_READER, "Odczyt danych czytnika",
                                            CMD_WRITE_READER, "Zapis danych czytnika"});
}

void RunOutputs(IDeviceOperationOwner& owner) {
    ReadEditWrite<COutputsDlg>(owner, {CMD_READ_ALARMS, "Odczyt danych alarmów", CMD_WRITE_ALARMS,
                                       "Zapis danych alarmów"});
}
