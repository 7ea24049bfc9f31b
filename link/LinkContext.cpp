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
            queued = true;
        }
    }
    if (queued) {
        context.wakeup.Signal();
    }
    return 1;
}

int TakeForDevice(LinkContext& context, LinkMessage& message) {
    const std::lock_guard<std::mutex> guard(context.lock);
    return context.toDevice.Pop(message) ? 1 : 0;
}
