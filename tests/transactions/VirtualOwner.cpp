#include "VirtualOwner.h"

#include <algorithm>

void VirtualOwner::Advance(unsigned milliseconds) {
    const unsigned end = now + milliseconds;
    for (;;) {
        DeliverPosted();
        // The earliest due timer; among equals the one started first.
        auto next = std::min_element(due.begin(), due.end(), [](const auto& a, const auto& b) {
            return a.second < b.second || (a.second == b.second && a.first < b.first);
        });
        if (next == due.end() || next->second > end) {
            break;
        }
        now = next->second;
        timers.OnTimer(next->first);
    }
    now = end;
}

void VirtualOwner::DeliverPosted() {
    while (!posted.empty()) {
        const unsigned id = posted.front();
        posted.erase(posted.begin());
        (void)queue.OnCmdMsg(id);
    }
}

void VirtualOwner::Receive(const LinkMessage& message) {
    queue.OnDeviceMessage(message);
}
