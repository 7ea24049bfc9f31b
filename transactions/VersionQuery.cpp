#include "VersionQuery.h"

#include "AnswerCheck.h"
#include "CWinApp.h"
#include "DeviceCommands.h"
#include "MessageBoxTypes.h"
#include "OperationTexts.h"
#include "Windows1250.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

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
    // The version number, then the device's text up to its zero byte, within the answer.
    const std::uint8_t* text = answer->payload + 1;
    const std::uint8_t* end = std::find(text, answer->payload + answer->length, std::uint8_t{0});
    owner.AppendLog("Wersja urządzenia : ", true);
    owner.AppendLog(DecodeWindows1250(std::string_view(reinterpret_cast<const char*>(text),
                                                       static_cast<std::size_t>(end - text))),
                    true);
    char number[32];
    std::snprintf(number, sizeof number, ", wersja %2u", static_cast<unsigned>(answer->payload[0]));
    owner.AppendLog(number, false);
    owner.AppendLog(kSeparatorLine, true);
}
