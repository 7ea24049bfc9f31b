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
        m_done.push_back(item);
        m_pOwner->PostCommand(ID_REQUEST_DONE);
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
        m_pOwner->AppendLog(DecodeDeviceText(message.payload, message.length), true);
        return;
    }
    Complete(&message);
    m_bBusy = 0;
    m_pOwner->StopTimers(this, kTimeoutFn, 0);
    SendNext();
}

void CQueue::OnTimeout(int parameter) {
    (void)parameter;
    m_bBusy = 0;
    m_pOwner->StopTimers(this, kTimeoutFn, 0);
    m_pOwner->OnRequestTimedOut(m_currentCommand);
    Complete(nullptr);
    SendNext();
}

void CQueue::Complete(const LinkMessage* answer) {
    QueueItem completion;
    completion.callback = m_pfnCurrentCallback;
    completion.requester = m_pCurrentRequester;
    if (answer != nullptr) {
        completion.message = *answer;
        completion.answered = 1;
    }
    m_done.push_back(completion);
    m_pOwner->PostCommand(ID_REQUEST_DONE);
}

void CQueue::OnRequestDone() {
    if (m_done.empty()) {
        return;
    }
    const QueueItem completion = m_done.front();
    m_done.pop_front();
    if (completion.requester != nullptr && completion.callback != nullptr) {
        completion.callback(completion.requester,
                            completion.answered != 0 ? &completion.message : nullptr);
    }
}

void CQueue::Reset() {
    m_bBusy = 0;
    m_pending.clear();
    m_done.clear();
}
