#pragma once

#include "LineEvents.h"
#include "MonitorRecord.h"
#include "MonitorStats.h"
#include "WireTrace.h"

#include <cstdint>
#include <vector>

// Turns what the wire trace and the link events say into rows, in time order, with each
// answer's time since its request and the statistics since the last connect.
class CLineMonitor : public ILineEvents {
public:
    // Steady-clock microseconds now; a test sets its own.
    using Clock = std::int64_t (*)();

    CLineMonitor();
    explicit CLineMonitor(Clock clock, std::int64_t wallOffsetUs);

    // Stamps the event now; it comes out with the next Take.
    void OnLineEvent(LineEvent event, const std::string& text) override;
    // The rows of these records and of the events waiting, in time order; the statistics count
    // them. Clears records.
    std::vector<MonitorRecord> Take(std::vector<WireRecord>& records);

    const CMonitorStats& Stats() const { return m_stats; }
    // Whether the figures count from a connect this monitor saw; false when they count from
    // CountFromNow (or from its making), as when the monitor missed some of the connection.
    bool CountsSinceConnect() const { return m_sinceConnect; }
    // The figures start again now, without a connect to count from.
    void CountFromNow();

private:
    struct PendingEvent {
        std::int64_t timeUs;
        LineEvent event;
        std::string text;
    };

    void Add(MonitorRecord row, std::int64_t steadyUs, bool timeout,
             std::vector<MonitorRecord>& rows);

    Clock m_clock;
    std::int64_t m_wallOffsetUs;
    std::vector<PendingEvent> m_events;
    std::int64_t m_lastSentUs = -1; // steady time of the request not yet answered
    CMonitorStats m_stats;
    bool m_sinceConnect = false;
};
