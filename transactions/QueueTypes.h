#pragma once

#include "LinkMessage.h"

#include <cstdint>

// Called on the requester with the answer, or with null when none came in time. The answer is
// valid only during the call.
using CompletionFn = void (*)(void* requester, const LinkMessage* answer);

// Turns a member function taking the answer into a CompletionFn.
template <typename T, void (T::*Method)(const LinkMessage*)>
void CompletionThunk(void* requester, const LinkMessage* answer) {
    (static_cast<T*>(requester)->*Method)(answer);
}

// A pending request, or a completion waiting to be delivered.
struct QueueItem {
    CompletionFn callback = nullptr;
    void* requester = nullptr;
    LinkMessage message;       // the request to send, or the answer received
    std::int32_t answered = 0; // completion: 1 message holds an answer, 0 timed out
};

// Where requesters hand their requests: address, command, payload of length bytes (at most 62;
// payload may be null when length is 0), and whom to call with the outcome.
class IRequestSubmitter {
public:
    virtual void SubmitRequest(std::uint8_t address, std::uint8_t command,
                               const std::uint8_t* payload, std::uint8_t length, void* requester,
                               CompletionFn callback) = 0;

protected:
    ~IRequestSubmitter() = default;
};
