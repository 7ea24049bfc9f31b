#include "CQueue.h"

#include "DeviceCommands.h"
#include "Windows1250.h"

#include <cstring>

namespace {

constexpr TimerFn kTimeoutFn = &TimerThunk<CQueue, &CQueue::OnTimeout>;

} // namespace

bool CQueue::OnCmdMsg(unsigned id) {
    if (id != ID_REQUEST_DONE) {
        return false;
    }
    OnRequestDone();
    return true;
}

void CQueue::AddRequest(std::uint8_t address, std::uint8_t command, const std::uint8_t* payload,
                        std::uint8_t length, void* requester, CompletionFn callback) {
    QueueItem item;
    item.callback = callback;
    item.requester = requester;
    if (length > LinkMessage::kPayloadCapacity || (payload == nullptr && length != 0)) {
        // Cannot go on the wire; the requester hears of it as of any request without answer.
        AddDone(item, false);
        return;
    }
    item.message.length = length;
    item.message.address = address;
    item.message.command = command;
    if (length != 0) {
        std::memcpy(item.message.payload, payload, length);
    }
    m_pending.push_back(item);
    SendNext();
}

void CQueue::SendNext() {
    if (m_bBusy != 0 || m_pending.empty()) {
        return;
    }
    const QueueItem item = m_pending.front();
    m_pending.pop_front();
    m_pfnCurrentCallback = item.callback;
    m_pCurrentRequester = item.requester;
    m_currentCommand = item.message.command;
    m_bBusy = 1;
    // Whether the link is up or not: a dropped request ends in the time-out like a lost one.
    m_pOwner->PutForDevice(item.message);
    m_pOwner->StartTimer(this, kTimeoutFn, kTimeoutMs, 0);
}

void CQueue::OnDeviceMessage(const LinkMessage& message) {
    if (message.command == CMD_TEXT) {
        // A text the device sends unasked, within its length.
        m_pOwner->AppendDeviceText(DecodeDeviceText(message.payload, message.length), true);
        return;
    }
    Complete(&message, m_bBusy == 0);
    m_bBusy = 0;
    m_pOwner->StopTimers(this, kTimeoutFn, 0);
    SendNext();
}

void CQueue::OnTimeout(int parameter) {
    (void)parameter;
    m_bBusy = 0;
    m_pOwner->StopTimers(this, kTimeoutFn, 0);
    m_pOwner->OnRequestTimedOut(m_currentCommand);
    Complete(nullptr, false);
    SendNext();
}

void CQueue::Complete(const LinkMessage* answer, bool unsolicited) {
    QueueItem completion;
    completion.callback = m_pfnCurrentCallback;
    completion.requester = m_pCurrentRequester;
    if (answer != nullptr) {
        completion.message = *answer;
        completion.answered = 1;
    }
    AddDone(completion, unsolicited);
}

void CQueue::AddDone(const QueueItem& item, bool unsolicited) {
    if (unsolicited && m_unsolicitedDone == kUnsolicitedCapacity) {
        for (auto it = m_done.begin(); it != m_done.end(); ++it) {
            if (it->unsolicited) {
                m_done.erase(it);
                --m_unsolicitedDone;
                ++m_dropped;
                break;
            }
        }
    }
    m_done.push_back(Completion{item, unsolicited});
    if (unsolicited) {
        ++m_unsolicitedDone;
    }
    if (!m_bDonePosted) {
        m_bDonePosted = true;
        m_pOwner->PostCommand(ID_REQUEST_DONE);
    }
}

void CQueue::OnRequestDone() {
    m_bDonePosted = false;
    // What waits now, and no more: a callback may complete another request at once, and a
    // modal loop run by one may deliver the rest; both post again.
    for (std::size_t count = m_done.size(); count > 0 && !m_done.empty(); --count) {
        const Completion done = m_done.front();
        m_done.pop_front();
        if (done.unsolicited) {
            --m_unsolicitedDone;
        }
        const QueueItem& completion = done.item;
        if (completion.requester != nullptr && completion.callback != nullptr) {
            completion.callback(completion.requester,
                                completion.answered != 0 ? &completion.message : nullptr);
        }
    }
}

void CQueue::Reset() {
    m_bBusy = 0;
    m_pending.clear();
    m_done.clear();
    m_unsolicitedDone = 0;
    m_bDonePosted = false; // a 103 still on its way finds nothing to deliver
}
