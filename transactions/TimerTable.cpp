#include "TimerTable.h"

namespace {

bool Matches(const TimerEntry& entry, void* object, TimerFn callback, int parameter) {
    return entry.object == object && entry.callback == callback && entry.parameter == parameter;
}

} // namespace

void CTimerTable::StartTimer(void* object, TimerFn callback, unsigned elapse, int parameter) {
    // Ids only need to differ among running timers; after a wrap-around skip those in use.
    while (m_timers.count(m_nNextTimerId) != 0) {
        ++m_nNextTimerId;
    }
    const std::uint32_t id = m_nNextTimerId++;
    m_timers[id] = TimerEntry{callback, object, parameter};
    m_backend.SetWindowTimer(id, elapse);
}

void CTimerTable::StopTimers(void* object, TimerFn callback, int parameter) {
    for (auto it = m_timers.begin(); it != m_timers.end();) {
        if (Matches(it->second, object, callback, parameter)) {
            m_backend.KillWindowTimer(it->first);
            it = m_timers.erase(it);
        } else {
            ++it;
        }
    }
}

bool CTimerTable::IsTimerPending(void* object, TimerFn callback, int parameter) const {
    for (const auto& [id, entry] : m_timers) {
        if (Matches(entry, object, callback, parameter)) {
            return true;
        }
    }
    return false;
}

void CTimerTable::OnTimer(unsigned id) {
    m_backend.KillWindowTimer(id);
    const auto it = m_timers.find(id);
    if (it == m_timers.end()) {
        return; // stopped before its tick was delivered
    }
    const TimerEntry entry = it->second;
    if (entry.object != nullptr && entry.callback != nullptr) {
        entry.callback(entry.object, entry.parameter);
    }
    // The callback may have changed the table; remove the entry only if it is still there.
    m_timers.erase(id);
}

void CTimerTable::Clear() {
    for (const auto& [id, entry] : m_timers) {
        m_backend.KillWindowTimer(id);
    }
    m_timers.clear();
}
