#include "LinkContext.h"

void LinkContext::RequestStop() {
    stopRequested.store(1);
    wakeup.Signal();
}

int PutForWindow(LinkContext& context, const LinkMessage& message) {
    {
        const std::lock_guard<std::mutex> guard(context.lock);
        if (context.running.load() == 1) {
            context.toWindow.Push(message);
        }
    }
    // One notification per put, also for a refused one: the taker copes with an empty list.
    if (context.notifier) {
        context.notifier();
    }
    return 1;
}

int TakeForWindow(LinkContext& context, LinkMessage& message) {
    const std::lock_guard<std::mutex> guard(context.lock);
    return context.toWindow.Pop(message) ? 1 : 0;
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
