#include "LinkRunner.h"

#include "LinkWorker.h"

#include <system_error>

CLinkRunner::StartResult CLinkRunner::Start(int port, int baudRate, std::function<void()> notifier,
                                            const Launcher& launch) {
    if (m_context.running.load() == 1) {
        return StartResult::StillRunning;
    }
    if (m_thread.joinable()) {
        m_thread.join(); // the last worker has ended; only its thread object is left
    }
    m_context.port = port;
    m_context.baudRate = baudRate;
    m_context.notifier = std::move(notifier);
    m_context.stopRequested.store(0);
    // Marked here and not only by the worker, so that a request queued the moment after the
    // start is not refused before the worker gets going.
    m_context.running.store(1);
    try {
        m_thread = launch ? launch(m_context) : std::thread([context = &m_context] {
            (void)LinkThreadProc(context); // its result is in the context too
        });
    } catch (const std::system_error& error) {
        m_context.running.store(0);
        m_startFailure = error.what();
        return StartResult::NotStarted;
    }
    return StartResult::Started;
}

bool CLinkRunner::JoinEnded() {
    if (m_context.running.load() == 0) {
        return false;
    }
    // Asking it to stop as well keeps the join short should the worker ever do more after its
    // ended event.
    Stop();
    return true;
}

void CLinkRunner::Stop() {
    m_context.RequestStop();
    if (m_thread.joinable()) {
        m_thread.join();
    }
    m_context.running.store(0);
}

void CLinkRunner::TakePass(ILinkEventSink& sink) {
    for (std::size_t taken = 0; taken < kLinkEventPass; ++taken) {
        WindowItem item;
        if (!TakeForWindow(m_context, item)) {
            return;
        }
        if (item.isLinkEvent) {
            sink.OnWorkerEvent(item.message.command);
        } else {
            sink.OnDeviceMessage(item.message);
        }
    }
    bool more = false;
    {
        const std::lock_guard<std::mutex> guard(m_context.lock);
        more = !m_context.toWindow.Empty();
    }
    if (more && m_context.notifier) {
        m_context.notifier();
    }
}
