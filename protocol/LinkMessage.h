#pragma once

#include <cstdint>
#include <type_traits>

// One message in either direction, and the worker's link events. Copied whole by value.
struct LinkMessage {
    static constexpr int kPayloadCapacity = 62;

    std::uint8_t length = 0; // meaningful bytes in payload, up to kPayloadCapacity
    std::uint8_t address = 0;
    std::uint8_t command = 0; // for link events: one of LinkEvent
    std::uint8_t payload[kPayloadCapacity] = {};
};

// Crosses threads and lists as a plain copy of its bytes.
static_assert(sizeof(LinkMessage) == 3 + LinkMessage::kPayloadCapacity);
static_assert(std::is_trivially_copyable_v<LinkMessage>);

// The worker's link events. Their numbers are also valid device commands, so the worker hands
// its events over marked as its own: a device frame with one of these commands stays a device
// message.
enum LinkEvent : std::uint8_t {
    kLinkEventEnded = 100,
    kLinkEventConnected = 101,
    kLinkEventOpening = 102,
};

inline bool IsLinkEvent(std::uint8_t command) {
    return command == kLinkEventEnded || command == kLinkEventConnected ||
           command == kLinkEventOpening;
}
