#include "LinkContext.h"

void LinkContext::RequestStop() {
    stopRequested.store(1);
    wakeup.Signal();
}

namespace {

template <typename PutFn> int PutAndNotify(LinkContext& context, PutFn put) {
    {
        const std::lock_guard<std::mutex> guard(context.lock);
        if (context.running.load() == 1) {
            put(context.toWindow);
        }
    }
    // One notification per put, also for a refused one: the taker copes with an empty list.
    if (context.notifier) {
        context.notifier();
    }
    return 1;
}

} // namespace

int PutForWindow(LinkContext& context, const LinkMessage& message) {
    return PutAndNotify(context, [&](CWindowList& list) { list.PushDeviceMessage(message); });
}

int PutLinkEvent(LinkContext& context, LinkEvent event) {
    return PutAndNotify(context, [&](CWindowList& list) { list.PushLinkEvent(event); });
}

int TakeForWindow(LinkContext& context, WindowItem& item) {
    const std::lock_guard<std::mutex> guard(context.lock);
    return context.toWindow.Pop(item) ? 1 : 0;
}

int TakeForWindow(LinkContext& context, LinkMessage& message) {
    WindowItem item;
    if (TakeForWindow(context, item) == 0) {
        return 0;
    }
    message = item.message;
    return 1;
}

int PutForDevice(LinkContext& context, const LinkMessage& message) {
    bool queued = false;
    {
        const std::lock_guard<std::mutex> guard(context.lock);
        if (context.running.load() == 1) {
            context.toDevice.Push(message);
            // Release: a worker that sees the count sees the message once it takes the lock;
            // the wake-up below covers one that looked just before.
            context.toDevicePending.store(context.toDevice.Size(), std::memory_order_release);
            queued = true;
        }
    }
    if (queued) {
        context.wakeup.Signal();
    }
    return 1;
}

int TakeForDevice(LinkContext& context, LinkMessage& message) {
    // Asked before every received byte: an empty list costs no lock.
    if (context.toDevicePending.load(std::memory_order_acquire) == 0) {
        return 0;
    }
    const std::lock_guard<std::mutex> guard(context.lock);
    const bool taken = context.toDevice.Pop(message);
    context.toDevicePending.store(context.toDevice.Size(), std::memory_order_relaxed);
    return taken ? 1 : 0;
}
