#include "LineMonitor.h"

#include "DeviceCommands.h"
#include "RowDecoder.h"

#include <chrono>
#include <limits>

namespace {

std::int64_t SteadyNowUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::int64_t WallOffsetUs() {
    const std::int64_t wall = std::chrono::duration_cast<std::chrono::microseconds>(
                                  std::chrono::system_clock::now().time_since_epoch())
                                  .count();
    return wall - SteadyNowUs();
}

} // namespace

CLineMonitor::CLineMonitor() : CLineMonitor(&SteadyNowUs, WallOffsetUs()) {}

CLineMonitor::CLineMonitor(Clock clock, std::int64_t wallOffsetUs)
    : m_clock(clock), m_wallOffsetUs(wallOffsetUs) {}

void CLineMonitor::CountFromNow() {
    m_stats.Reset();
    m_sinceConnect = false;
}

void CLineMonitor::OnLineEvent(LineEvent event, const std::string& text) {
    m_events.push_back({m_clock(), event, text});
}

std::vector<MonitorRecord> CLineMonitor::Take(std::vector<WireRecord>& records) {
    std::vector<MonitorRecord> rows;
    rows.reserve(records.size() + m_events.size());
    std::size_t next = 0;
    // Both sources are in time order already: merge them.
    auto eventsBefore = [&](std::int64_t timeUs) {
        for (; next < m_events.size() && m_events[next].timeUs < timeUs; ++next) {
            const PendingEvent& pending = m_events[next];
            MonitorRecord row;
            row.bytes = pending.text;
            Add(std::move(row), pending.timeUs, pending.event == LineEvent::Timeout, rows);
            if (pending.event == LineEvent::Connected) {
                m_stats.Reset(); // the figures count from the last connect on
                m_sinceConnect = true;
            }
        }
    };
    for (const WireRecord& record : records) {
        eventsBefore(record.timeUs);
        if (std::optional<MonitorRecord> row = RecordOfWire(record, m_wallOffsetUs)) {
            Add(std::move(*row), record.timeUs, false, rows);
        }
    }
    eventsBefore(std::numeric_limits<std::int64_t>::max());
    m_events.clear();
    records.clear();
    return rows;
}

void CLineMonitor::Add(MonitorRecord row, std::int64_t steadyUs, bool timeout,
                       std::vector<MonitorRecord>& rows) {
    row.wallUs = steadyUs + m_wallOffsetUs;
    if (row.kind == RowKind::ToDevice) {
        m_lastSentUs = steadyUs;
    } else if (row.kind == RowKind::FromDevice && row.Intact() && row.Command() != CMD_TEXT &&
               m_lastSentUs >= 0) {
        // The first answer after a request is its answer, as the request queue takes it.
        row.answerUs = steadyUs - m_lastSentUs;
        m_lastSentUs = -1;
    } else if (row.kind == RowKind::Event) {
        // A time-out, or the link ending or starting again: no answer follows that request.
        m_lastSentUs = -1;
    }
    m_stats.Count(row, timeout);
    rows.push_back(std::move(row));
}
