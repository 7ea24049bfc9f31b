#include "AnswerCheck.h"

#include <cstdio>

bool AnswerHolds(IDeviceOperationOwner& owner, const LinkMessage& answer, std::size_t needed) {
    if (answer.length >= needed) {
        return true;
    }
    char line[96];
    std::snprintf(line, sizeof line, "Za krótka odpowiedź urządzenia: %d z %zu bajtów",
                  answer.length, needed);
    owner.AppendLog(line, true);
    return false;
}
