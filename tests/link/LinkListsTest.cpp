#include "LinkContext.h"
#include "NotifyCounter.h"
#include "NotifyGate.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

namespace {

using namespace std::chrono_literals;

LinkMessage Numbered(int number) {
    LinkMessage message;
    message.length = LinkMessage::kPayloadCapacity;
    message.address = 0x1F;
    message.command = 0x30;
    for (int i = 0; i < LinkMessage::kPayloadCapacity; ++i) {
        message.payload[i] = static_cast<std::uint8_t>(number + i);
    }
    message.payload[0] = static_cast<std::uint8_t>(number);
    message.payload[1] = static_cast<std::uint8_t>(number >> 8);
    message.payload[2] = static_cast<std::uint8_t>(number >> 16);
    return message;
}

int NumberOf(const LinkMessage& message) {
    return message.payload[0] | message.payload[1] << 8 | message.payload[2] << 16;
}

bool SameMessage(const LinkMessage& a, const LinkMessage& b) {
    return a.length == b.length && a.address == b.address && a.command == b.command &&
           std::equal(a.payload, a.payload + a.length, b.payload);
}

} // namespace

TEST(LinkLists, RefusePutsWhileNoWorkerIsAttachedButStillNotify) {
    LinkContext context;
    int notified = 0;
    context.notifier = [&] { ++notified; };
    EXPECT_EQ(PutForWindow(context, Numbered(1)), 1);
    EXPECT_EQ(PutForDevice(context, Numbered(2)), 1);
    EXPECT_EQ(notified, 1);
    LinkMessage out;
    EXPECT_EQ(TakeForWindow(context, out), 0);
    EXPECT_EQ(TakeForDevice(context, out), 0);

    // Once the worker has gone and the controller cleared the flag, late puts are dropped too.
    context.running = 1;
    PutForDevice(context, Numbered(3));
    context.running = 0;
    PutForDevice(context, Numbered(4));
    ASSERT_EQ(TakeForDevice(context, out), 1);
    EXPECT_EQ(NumberOf(out), 3);
    EXPECT_EQ(TakeForDevice(context, out), 0);
}

// The worker asks before every received byte whether something waits to go out; with nothing
// waiting it must not contend for the lock the window holds while it takes its messages.
TEST(LinkLists, LookingForOutgoingTakesNoLockWhileNoneWaits) {
    LinkContext context;
    context.running = 1;
    LinkMessage out;
    for (const int waiting : {0, 2}) {
        SCOPED_TRACE(waiting);
        for (int i = 0; i < waiting; ++i) {
            PutForDevice(context, Numbered(i));
        }
        for (int i = 0; i < waiting; ++i) {
            ASSERT_EQ(TakeForDevice(context, out), 1);
            EXPECT_EQ(NumberOf(out), i);
        }
        std::unique_lock<std::mutex> held(context.lock);
        std::atomic<int> taken{-1};
        std::thread worker([&] { taken = TakeForDevice(context, out); });
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (taken == -1 && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(1ms);
        }
        const int seen = taken;
        held.unlock();
        worker.join();
        EXPECT_EQ(seen, 0) << "the look waited for the lock";
    }
}

TEST(LinkLists, HandOutWholeCopiesOldestFirst) {
    LinkContext context;
    context.running = 1;
    for (int i = 0; i < 1000; ++i) {
        LinkMessage message = Numbered(i);
        PutForWindow(context, message);
        PutForDevice(context, message);
        message.payload[0] = 0xEE; // the list holds its own copy
    }
    LinkMessage out;
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(TakeForWindow(context, out), 1);
        EXPECT_TRUE(SameMessage(out, Numbered(i))) << i;
        ASSERT_EQ(TakeForDevice(context, out), 1);
        EXPECT_TRUE(SameMessage(out, Numbered(i))) << i;
    }
    EXPECT_EQ(TakeForWindow(context, out), 0);
    EXPECT_EQ(TakeForDevice(context, out), 0);
}

TEST(LinkLists, NotifyOncePerPutAfterTheMessageIsInAndTheLockIsFree) {
    LinkContext context;
    context.running = 1;
    int notified = 0;
    context.notifier = [&] {
        ++notified;
        // The notified side may take at once: the lock must be free and the message there.
        ASSERT_TRUE(context.lock.try_lock());
        context.lock.unlock();
        LinkMessage out;
        EXPECT_EQ(TakeForWindow(context, out), 1);
    };
    for (int i = 0; i < 3; ++i) {
        PutForWindow(context, Numbered(i));
    }
    EXPECT_EQ(notified, 3);
}

TEST(LinkLists, StopRequestsAndDeviceMessagesWakeTheWorker) {
    LinkContext context;
    const auto start = std::chrono::steady_clock::now();
    context.RequestStop();
    EXPECT_EQ(context.stopRequested.load(), 1);
    EXPECT_EQ(context.wakeup.Wait(kNoSerialHandle, 5000), CLinkWakeup::WaitResult::Signalled);
    EXPECT_EQ(context.wakeup.Wait(kNoSerialHandle, 20), CLinkWakeup::WaitResult::TimedOut);

    context.running = 1;
    PutForDevice(context, Numbered(1));
    EXPECT_EQ(context.wakeup.Wait(kNoSerialHandle, 5000), CLinkWakeup::WaitResult::Signalled);

    // Signals never block, however many pile up, and one wait consumes them all.
    for (int i = 0; i < 200000; ++i) {
        context.wakeup.Signal();
    }
    EXPECT_EQ(context.wakeup.Wait(kNoSerialHandle, 5000), CLinkWakeup::WaitResult::Signalled);
    EXPECT_EQ(context.wakeup.Wait(kNoSerialHandle, 20), CLinkWakeup::WaitResult::TimedOut);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 4s);
}

TEST(LinkLists, TwoThreadsHandOverEveryMessageInOrder) {
    constexpr int kCount = 20000;
    LinkContext context;
    context.running = 1;
    CNotifyCounter notes;
    context.notifier = [&] { notes.Add(); };
    std::atomic<int> takenByWindow{0};

    // Worker side: puts for the window and takes for the device, as the worker does. It keeps
    // within the window list's bound of the reader: beyond it the list drops, by design.
    std::thread worker([&] {
        int nextFromDevice = 0;
        for (int i = 0; i < kCount; ++i) {
            while (i - takenByWindow.load() >= static_cast<int>(CWindowList::kCapacity)) {
                std::this_thread::yield();
            }
            PutForWindow(context, Numbered(i));
            LinkMessage out;
            while (TakeForDevice(context, out) == 1) {
                EXPECT_EQ(NumberOf(out), nextFromDevice++);
            }
        }
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (nextFromDevice < kCount && std::chrono::steady_clock::now() < deadline) {
            LinkMessage out;
            if (TakeForDevice(context, out) == 1) {
                EXPECT_EQ(NumberOf(out), nextFromDevice++);
            } else {
                context.wakeup.Wait(kNoSerialHandle, 10);
            }
        }
        EXPECT_EQ(nextFromDevice, kCount);
    });

    // User-interface side: one take per notification, puts for the device in between.
    for (int i = 0; i < kCount; ++i) {
        PutForDevice(context, Numbered(i));
        LinkMessage out;
        if (!notes.WaitFor(i + 1, 10s) || TakeForWindow(context, out) != 1 || NumberOf(out) != i) {
            ADD_FAILURE() << "message " << i << " lost or out of order";
            break;
        }
        ++takenByWindow;
    }
    worker.join();
    LinkMessage out;
    EXPECT_EQ(TakeForWindow(context, out), 0);
    EXPECT_EQ(notes.Count(), kCount);
}

// Device messages beyond the bound push out the oldest device message; the worker's own link
// events are never pushed out and keep their kind, whatever a device message's command byte.
TEST(LinkLists, WindowListIsBoundedForDeviceMessagesOnly) {
    LinkContext context;
    context.running = 1;
    const int kExtra = 10;
    PutLinkEvent(context, kLinkEventOpening);
    PutLinkEvent(context, kLinkEventConnected);
    for (int i = 0; i < static_cast<int>(CWindowList::kCapacity) + kExtra; ++i) {
        LinkMessage message = Numbered(i);
        message.command = kLinkEventEnded; // a device frame with the ended event's number
        PutForWindow(context, message);
    }
    PutLinkEvent(context, kLinkEventEnded);
    EXPECT_EQ(context.toWindow.Size(), CWindowList::kCapacity + 3);
    EXPECT_EQ(context.toWindow.Dropped(), static_cast<std::uint64_t>(kExtra));

    WindowItem item;
    for (const LinkEvent event : {kLinkEventOpening, kLinkEventConnected}) {
        ASSERT_EQ(TakeForWindow(context, item), 1);
        EXPECT_TRUE(item.isLinkEvent);
        EXPECT_EQ(item.message.command, event);
    }
    for (int i = kExtra; i < static_cast<int>(CWindowList::kCapacity) + kExtra; ++i) {
        ASSERT_EQ(TakeForWindow(context, item), 1);
        ASSERT_FALSE(item.isLinkEvent) << i;
        EXPECT_EQ(NumberOf(item.message), i);
    }
    ASSERT_EQ(TakeForWindow(context, item), 1);
    EXPECT_TRUE(item.isLinkEvent);
    EXPECT_EQ(item.message.command, kLinkEventEnded);
    EXPECT_EQ(TakeForWindow(context, item), 0);
}

// However many entries are put, one notification is outstanding until its handler opens the
// gate; a put after that posts again.
TEST(LinkLists, GatedNotifierKeepsOneNotificationOutstanding) {
    auto gate = std::make_shared<CNotifyGate>();
    int posted = 0;
    const std::function<void()> notify = GatedNotifier(gate, [&] { ++posted; });
    for (int i = 0; i < 1000; ++i) {
        notify();
    }
    EXPECT_EQ(posted, 1);
    gate->Open();
    notify();
    notify();
    EXPECT_EQ(posted, 2);
    EXPECT_FALSE(GatedNotifier(gate, {})) << "nothing to post through: no notifier";
}
