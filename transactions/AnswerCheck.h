#pragma once

#include "DeviceOperationOwner.h"

#include <cstddef>

// Whether an answer carries the whole record an operation reads. A shorter one is refused, with
// the reason in the log, so that bytes the device never sent are never shown or written back;
// the operation then reports it as an answer that did not come.
bool AnswerHolds(IDeviceOperationOwner& owner, const LinkMessage& answer, std::size_t needed);
