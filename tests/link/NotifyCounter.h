#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

// Stands in for the window's command queue: counts notifications and lets a test wait for them.
class CNotifyCounter {
public:
    void Add() {
        {
            const std::lock_guard<std::mutex> guard(m_lock);
            ++m_nCount;
        }
        m_changed.notify_all();
    }

    int Count() {
        const std::lock_guard<std::mutex> guard(m_lock);
        return m_nCount;
    }

    // True once at least count notifications have come, false after the timeout.
    bool WaitFor(int count, std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
        std::unique_lock<std::mutex> guard(m_lock);
        return m_changed.wait_for(guard, timeout, [&] { return m_nCount >= count; });
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    int m_nCount = 0;
};
