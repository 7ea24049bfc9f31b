#pragma once

#include "EventLog.h"
#include "LinkMessage.h"

#include <cstdint>
#include <string>

// What a device operation started from a button (versions, clock, the three settings records)
// needs of the main window: the event log and one request run behind the wait dialog.
class IDeviceOperationOwner : public virtual IEventLog {
public:
    // Sends one request to the device address of the settings and shows "Transmisja danych"
    // until it completes. Returns the answer, valid until the next request, or null when none
    // came (time-out, or the user closed the wait dialog). length is at most 62.
    virtual const LinkMessage* RunRequest(std::uint8_t command, const std::uint8_t* payload,
                                          std::uint8_t length) = 0;

protected:
    ~IDeviceOperationOwner() = default;
};
