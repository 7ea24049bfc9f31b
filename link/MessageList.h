#pragma once

#include "LinkMessage.h"

#include <cstddef>
#include <deque>

// First-in first-out list of messages, each held as a full copy. Not locked itself: the link
// context guards it. std::deque hands each block back once its messages have been taken, so a
// list holds memory only for what waits in it (plus one block), however long it runs.
class CMessageList {
public:
    void Push(const LinkMessage& message) { m_items.push_back(message); }

    // Removes the oldest message into message; false when the list is empty.
    bool Pop(LinkMessage& message) {
        if (m_items.empty()) {
            return false;
        }
        message = m_items.front();
        m_items.pop_front();
        return true;
    }

    std::size_t Size() const { return m_items.size(); }
    bool Empty() const { return m_items.empty(); }

private:
    std::deque<LinkMessage> m_items;
};
