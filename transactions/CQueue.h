#pragma once

#include "CmdTarget.h"
#include "EventLog.h"
#include "QueueTypes.h"
#include "TimerTable.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

// Command id of "completions wait", posted to the main window while none is outstanding.
inline constexpr unsigned ID_REQUEST_DONE = 103;

// What the request queue needs of the main window.
class IQueueOwner : public virtual IOneShotTimers, public virtual IEventLog {
public:
    // Delivered later, in posting order, by whichever loop runs.
    virtual void PostCommand(unsigned id) = 0;
    // Into the link's list for the device; dropped there while no worker runs.
    virtual void PutForDevice(const LinkMessage& message) = 0;
    // The request of this command got no answer in time (for whoever watches the line).
    virtual void OnRequestTimedOut(std::uint8_t command) { (void)command; }

protected:
    ~IQueueOwner() = default;
};

// Keeps one request outstanding, takes the next message from the device as its answer, and gives
// up after kTimeoutMs. Outcomes are delivered later, through command 103, in the order they came.
// Answers are not matched to requests: whatever arrives first after a send is its answer.
//
// A message that comes while nothing is outstanding completes once more for the request sent
// last. Of those, at most kUnsolicitedCapacity wait for delivery: a device that floods the line
// pushes out the oldest (counted in DroppedCount()), which repeats an outcome to a requester
// that has had one already, such as a reading the next ones replace before it is painted. The
// outcome of a request, answer or time-out, is never dropped.
class CQueue : public CCmdTarget {
public:
    static constexpr unsigned kTimeoutMs = 1500;
    static constexpr std::size_t kUnsolicitedCapacity = 16;

    explicit CQueue(IQueueOwner& owner) : m_pOwner(&owner) {}

    bool OnCmdMsg(unsigned id) override;

    void AddRequest(std::uint8_t address, std::uint8_t command, const std::uint8_t* payload,
                    std::uint8_t length, void* requester, CompletionFn callback);
    void SendNext();
    // Every message from the link that is not a link event.
    void OnDeviceMessage(const LinkMessage& message);
    void OnTimeout(int parameter);
    void OnRequestDone();
    void Reset();

    bool IsBusy() const { return m_bBusy != 0; }
    std::size_t PendingCount() const { return m_pending.size(); }
    std::size_t DoneCount() const { return m_done.size(); }
    std::uint64_t DroppedCount() const { return m_dropped; }

private:
    struct Completion {
        QueueItem item;
        bool unsolicited = false;
    };

    void Complete(const LinkMessage* answer, bool unsolicited);
    void AddDone(const QueueItem& item, bool unsolicited);

    IQueueOwner* m_pOwner;
    CompletionFn m_pfnCurrentCallback = nullptr;
    void* m_pCurrentRequester = nullptr;
    std::uint8_t m_currentCommand = 0;
    std::int32_t m_bBusy = 0;
    std::deque<QueueItem> m_pending;
    std::deque<Completion> m_done;
    std::size_t m_unsolicitedDone = 0;
    bool m_bDonePosted = false; // a command 103 is on its way
    std::uint64_t m_dropped = 0;
};
