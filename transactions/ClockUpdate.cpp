#include "ClockUpdate.h"

#include "AnswerCheck.h"
#include "CWinApp.h"
#include "DeviceCommands.h"
#include "MessageBoxTypes.h"
#include "OperationTexts.h"

#include <algorithm>
#include <cstdio>

std::string FormatClockQuestion(const TimeRecord& deviceTime) {
    char text[128];
    std::snprintf(text, sizeof text,
                  "Czas w urządzeniu: %u.%02u.%02u  %u:%02u.%02u . Czy aktualizować czas ?",
                  unsigned{deviceTime.year()}, unsigned{deviceTime.month()},
                  unsigned{deviceTime.day()}, unsigned{deviceTime.hour()},
                  unsigned{deviceTime.minute()}, unsigned{deviceTime.second()});
    return text;
}

void RunClockUpdate(IDeviceOperationOwner& owner, const std::function<TimeRecord()>& localNow) {
    owner.AppendLog("Odczyt czasu", true);
    const LinkMessage* answer = owner.RunRequest(CMD_READ_TIME, nullptr, 0);
    if (answer == nullptr || !AnswerHolds(owner, *answer, TimeRecord::kSize)) {
        AfxMessageBox(kNoAnswerText, MB_OK);
        return;
    }
    TimeRecord deviceTime;
    std::copy_n(answer->payload, TimeRecord::kSize, deviceTime.bytes.begin());
    if (AfxMessageBox(FormatClockQuestion(deviceTime), MB_YESNO | MB_ICONEXCLAMATION) != IDYES) {
        return;
    }
    const TimeRecord now = localNow();
    owner.AppendLog("Zapis czasu", true);
    if (owner.RunRequest(CMD_WRITE_TIME, now.bytes.data(), TimeRecord::kSize) == nullptr) {
        AfxMessageBox(kNoAnswerText, MB_OK);
    }
}
