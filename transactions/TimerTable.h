#pragma once

#include <cstdint>
#include <unordered_map>

// A callback called on its object with its parameter when a one-shot timer fires.
using TimerFn = void (*)(void* object, int parameter);

// Turns a member function taking the parameter into a TimerFn; one function per member, so
// timers of the same member compare equal.
template <typename T, void (T::*Method)(int)> void TimerThunk(void* object, int parameter) {
    (static_cast<T*>(object)->*Method)(parameter);
}

// What the main window keeps for one running timer.
struct TimerEntry {
    TimerFn callback = nullptr;
    void* object = nullptr;
    std::int32_t parameter = 0;
};

// The window timers under the table: started with an id, they tick until killed.
class ITimerBackend {
public:
    virtual void SetWindowTimer(unsigned id, unsigned milliseconds) = 0;
    virtual void KillWindowTimer(unsigned id) = 0;

protected:
    ~ITimerBackend() = default;
};

// The main window's one-shot timers, as the queue and the readout use them.
class IOneShotTimers {
public:
    virtual void StartTimer(void* object, TimerFn callback, unsigned elapse, int parameter) = 0;
    // Stops every running timer whose entry matches all three values.
    virtual void StopTimers(void* object, TimerFn callback, int parameter) = 0;
    virtual bool IsTimerPending(void* object, TimerFn callback, int parameter) = 0;

protected:
    ~IOneShotTimers() = default;
};

// One-shot timers told apart by callback, object and parameter rather than by an id the caller
// keeps. Runs on the user-interface thread; ticks come from whichever loop runs.
class CTimerTable {
public:
    explicit CTimerTable(ITimerBackend& backend) : m_backend(backend) {}
    CTimerTable(const CTimerTable&) = delete;
    CTimerTable& operator=(const CTimerTable&) = delete;

    void StartTimer(void* object, TimerFn callback, unsigned elapse, int parameter);
    // Stops every running timer whose entry matches all three values.
    void StopTimers(void* object, TimerFn callback, int parameter);
    bool IsTimerPending(void* object, TimerFn callback, int parameter) const;
    // A window timer ticked: it fires once, then it is gone.
    void OnTimer(unsigned id);

    // Stops every timer.
    void Clear();

    std::size_t Count() const { return m_timers.size(); }

private:
    ITimerBackend& m_backend;
    std::unordered_map<std::uint32_t, TimerEntry> m_timers;
    std::uint32_t m_nNextTimerId = 1;
};
