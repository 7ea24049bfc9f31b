#include "WorkerHarness.h"

#include "LinkWorker.h"

#include <algorithm>
#include <utility>

CWorkerHarness::CWorkerHarness(int port, std::string appDirectory, int baudRate) {
    m_context.port = port;
    m_context.baudRate = baudRate;
    m_context.appDirectory = std::move(appDirectory);
    m_context.notifier = [this] {
        {
            const std::lock_guard<std::mutex> guard(m_lock);
            ++m_notes;
        }
        m_changed.notify_all();
    };
}

CWorkerHarness::~CWorkerHarness() {
    (void)StopAndJoin();
}

void CWorkerHarness::Start() {
    m_context.stopRequested = 0;
    m_worker = std::thread([this] { m_nResult = LinkThreadProc(&m_context); });
}

int CWorkerHarness::StopAndJoin() {
    if (!m_worker.joinable()) {
        return m_nResult;
    }
    m_context.RequestStop();
    m_worker.join();
    m_context.running = 0;
    return m_nResult;
}

void CWorkerHarness::Send(std::uint8_t command, std::initializer_list<std::uint8_t> payload) {
    LinkMessage message;
    message.address = 31;
    message.command = command;
    message.length = static_cast<std::uint8_t>(payload.size());
    std::copy(payload.begin(), payload.end(), message.payload);
    (void)PutForDevice(m_context, message); // refused only while no worker runs
}

std::optional<LinkMessage> CWorkerHarness::Next(std::uint8_t command,
                                                std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        LinkMessage message;
        while (TakeForWindow(m_context, message) == 1) {
            if (message.command == command) {
                return message;
            }
        }
        std::unique_lock<std::mutex> guard(m_lock);
        const int seen = m_notes;
        if (!m_changed.wait_until(guard, deadline, [&] { return m_notes != seen; })) {
            return std::nullopt;
        }
    }
}
