#pragma once

#include "LinkMessage.h"

#include <cstddef>
#include <cstdint>
#include <deque>

// One entry of the list for the window: a message from the device, or one of the worker's own
// link events. The kind travels beside the message, so that no device frame can pass for a
// link event whatever its command byte.
struct WindowItem {
    bool isLinkEvent = false;
    LinkMessage message; // for a link event only command is set, to one of LinkEvent
};

// First-in first-out list of what the worker hands to the window, bounded for device messages.
// Not locked itself: the link context guards it.
//
// Once kCapacity device messages wait, a new one pushes out the oldest device message waiting
// (counted in Dropped()). The window takes the list in passes and shows the result of a pass
// at once, so the list fills only when the device sends far faster than anybody can read:
// what goes is a text that a thousand later lines would have cleared from the log, or a
// reading that a thousand later readings would have replaced. Link events are never dropped;
// a run puts at most three.
class CWindowList {
public:
    static constexpr std::size_t kCapacity = 1024;

    void PushDeviceMessage(const LinkMessage& message) {
        if (m_deviceMessages == kCapacity) {
            DropOldestDeviceMessage();
        }
        m_items.push_back(WindowItem{false, message});
        ++m_deviceMessages;
    }

    void PushLinkEvent(LinkEvent event) {
        WindowItem item;
        item.isLinkEvent = true;
        item.message.command = event;
        m_items.push_back(item);
    }

    // Removes the oldest entry into item; false when the list is empty.
    bool Pop(WindowItem& item) {
        if (m_items.empty()) {
            return false;
        }
        item = m_items.front();
        m_items.pop_front();
        if (!item.isLinkEvent) {
            --m_deviceMessages;
        }
        return true;
    }

    std::size_t Size() const { return m_items.size(); }
    bool Empty() const { return m_items.empty(); }
    // Device messages pushed out by newer ones since the list was made.
    std::uint64_t Dropped() const { return m_dropped; }

private:
    void DropOldestDeviceMessage() {
        for (auto it = m_items.begin(); it != m_items.end(); ++it) {
            if (!it->isLinkEvent) {
                m_items.erase(it); // link events sit only at the ends, so this is near the front
                --m_deviceMessages;
                ++m_dropped;
                return;
            }
        }
    }

    std::deque<WindowItem> m_items;
    std::size_t m_deviceMessages = 0;
    std::uint64_t m_dropped = 0;
};
