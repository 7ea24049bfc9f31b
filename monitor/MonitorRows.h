#pragma once

#include "MonitorRow.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

// The monitor's rows: bounded (the oldest go first, counted), paused (new rows counted, not
// kept), and seen through a filter that can hide the once-a-second measurement polls.
class CMonitorRows {
public:
    static constexpr std::size_t kDefaultCapacity = 100000;

    explicit CMonitorRows(std::size_t capacity = kDefaultCapacity) : m_capacity(capacity) {}

    // Appends rows, or only counts them while paused. Makes room first (see DropFront).
    void Append(const std::vector<MonitorRow>& rows);
    // How many of the oldest rows must go before `incoming` more fit.
    std::size_t OverflowFor(std::size_t incoming) const;
    // Removes the oldest count rows, counting them as dropped.
    void DropFront(std::size_t count);
    // Of the oldest count rows, how many are visible (the rows a view loses with them).
    std::size_t VisibleAmongFirst(std::size_t count) const;
    // How many of these rows the filter would show.
    std::size_t CountVisible(const std::vector<MonitorRow>& rows) const;
    void Clear();

    void SetPaused(bool paused) { m_paused = paused; }
    bool Paused() const { return m_paused; }
    // Rows that came while paused.
    std::uint64_t HeldBack() const { return m_heldBack; }
    std::uint64_t Dropped() const { return m_dropped; }

    void SetHidePolls(bool hide);
    bool HidePolls() const { return m_hidePolls; }
    bool IsVisible(const MonitorRow& row) const;

    std::size_t Count() const { return m_rows.size(); }
    const MonitorRow& At(std::size_t index) const { return m_rows[index]; }
    std::size_t VisibleCount() const { return m_visible.size(); }
    const MonitorRow& Visible(std::size_t index) const;

private:
    const std::size_t m_capacity;
    std::deque<MonitorRow> m_rows;
    std::uint64_t m_firstSeq = 0;        // sequence number of m_rows.front()
    std::deque<std::uint64_t> m_visible; // sequence numbers of the rows the filter shows
    bool m_paused = false;
    bool m_hidePolls = false;
    std::uint64_t m_heldBack = 0;
    std::uint64_t m_dropped = 0;
};
