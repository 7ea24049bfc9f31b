#include "AnswerCheck.h"

#include <cstdio>

bool AnswerHolds(IDeviceOperationOwner& owner, const LinkMessage& answer, std::size_t needed) {
    if (answer.length >= needed) {
        return true;
    }
    char line[96];
    // After "z" Polish takes the genitive: "z 1 bajtu", but "z 2 bajtów", "z 39 bajtów".
    std::snprintf(line, sizeof line, "Za krótka odpowiedź urządzenia: %d z %zu %s", answer.length,
                  needed, needed == 1 ? "bajtu" : "bajtów");
    owner.AppendLog(line, true);
    return false;
}
