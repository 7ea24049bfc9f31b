#include "VersionQuery.h"

#include "AnswerCheck.h"
#include "CWinApp.h"
#include "DeviceCommands.h"
#include "MessageBoxTypes.h"
#include "OperationTexts.h"
#include "Windows1250.h"

#include <cstdio>

void RunVersionQuery(IDeviceOperationOwner& owner, const std::string& terminalVersion) {
    owner.AppendLog("Odczyt wersji", true);
    const LinkMessage* answer = owner.RunRequest(CMD_READ_VERSION, nullptr, 0);
    // The terminal's own version is logged whether or not the device answers.
    owner.AppendLog(std::string(kSeparatorLine) + "\r\nWersja terminala : \r\n" + terminalVersion,
                    true);
    if (answer == nullptr || !AnswerHolds(owner, *answer, 1)) {
        AfxMessageBox(kNoAnswerText, MB_OK);
        return;
    }
    // The version number, then the device's text, within the answer.
    owner.AppendLog("Wersja urządzenia : ", true);
    owner.AppendDeviceText(DecodeDeviceText(answer->payload + 1, answer->length - 1u), true);
    char number[32];
    std::snprintf(number, sizeof number, ", wersja %2u", static_cast<unsigned>(answer->payload[0]));
    owner.AppendLog(number, false);
    owner.AppendLog(kSeparatorLine, true);
}
