#pragma once

#include "DeviceOperationOwner.h"
#include "DeviceRecords.h"

#include <string>
#include <vector>

// The device's version and three records, each request behind the wait dialog with its usual
// log line. False as soon as one gets no answer or one too short for its record; what was read
// until then is not to be used.
bool ReadDeviceVersion(IDeviceOperationOwner& owner, std::string& text, int& number);
bool ReadDeviceRecords(IDeviceOperationOwner& owner, DeviceRecords& records);

struct RestoreOutcome {
    std::vector<RecordKind> verified;    // written and read back the same
    std::vector<RecordKind> notVerified; // written (answered), but read back different or not
    std::vector<RecordKind> unanswered;  // the write got no answer: it may or may not have landed
    std::vector<RecordKind> notWritten;  // never sent, after a request without an answer
    bool Succeeded() const {
        return notVerified.empty() && unanswered.empty() && notWritten.empty();
    }
};

// Writes these records of target, each followed by a read-back compared byte for byte; stops at
// the first request without an answer. The log gets the outcome in words.
RestoreOutcome RestoreRecords(IDeviceOperationOwner& owner, const DeviceRecords& target,
                              const std::vector<RecordKind>& records);

// "Zapisano i sprawdzono: …" and, after a failure, what was and was not written; one line each.
std::vector<std::string> DescribeOutcome(const RestoreOutcome& outcome);
