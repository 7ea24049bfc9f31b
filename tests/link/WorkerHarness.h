#pragma once

#include "LinkContext.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <initializer_list>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

// The terminal's link worker on a port, with the window's side reduced to waiting for
// messages: what the link controller does, without a window.
class CWorkerHarness {
public:
    CWorkerHarness(int port, std::string appDirectory, int baudRate = 19200);
    ~CWorkerHarness(); // stops and joins a worker still running

    CWorkerHarness(const CWorkerHarness&) = delete;
    CWorkerHarness& operator=(const CWorkerHarness&) = delete;

    void Start();
    // Asks the worker to stop, waits for it and clears its running mark, as the controller
    // does after the ended event. Returns the thread's result (of the last run, when none runs).
    int StopAndJoin();

    // Puts a request to address 31 into the device list (refused while no worker runs).
    void Send(std::uint8_t command, std::initializer_list<std::uint8_t> payload = {});
    // The next message for the window with this command; others on the way are passed over.
    std::optional<LinkMessage> Next(std::uint8_t command,
                                    std::chrono::milliseconds timeout = std::chrono::seconds(3));

    LinkContext& Context() { return m_context; }

private:
    LinkContext m_context;
    std::mutex m_lock;
    std::condition_variable m_changed;
    int m_notes = 0;
    std::thread m_worker;
    int m_nResult = -1;
};
