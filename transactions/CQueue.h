#pragma once

#include "CmdTarget.h"

// The request queue: one request outstanding at a time. Requests, answers and time-outs arrive
// with the queue itself; until then it is an empty command target.
class CQueue : public CCmdTarget {
public:
    CQueue() = default;

    // Empties both request lists.
    void Reset() {}
};
