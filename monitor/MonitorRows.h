#pragma once

#include "DeviceCommands.h"
#include "MonitorRecord.h"
#include "MonitorRow.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

// The monitor's rows: bounded (the oldest go first, counted), paused (new rows counted, not
// kept), and seen through a filter that can hide the once-a-second measurement polls. Rows are
// kept compact, as they came (see MonitorRecord); their texts are made when asked for.
class CMonitorRows {
public:
    static constexpr std::size_t kDefaultCapacity = 100000;
    // An event text is kept up to this many bytes.
    static constexpr std::size_t kMaxRowBytes = 0xFFFF;

    explicit CMonitorRows(std::size_t capacity = kDefaultCapacity) : m_capacity(capacity) {}

    // Appends rows, or only counts them while paused. Makes room first (see DropFront).
    void Append(const std::vector<MonitorRecord>& rows);
    // Rows go at least this share of the store at a time: a table view pays for all its rows at
    // every removal, which a full store would otherwise make at every batch.
    static constexpr std::size_t kDropShare = 100;

    // How many of the oldest rows must go before `incoming` more fit: what is over, but at least
    // a kDropShare-th of the store.
    std::size_t OverflowFor(std::size_t incoming) const;
    // Removes the oldest count rows, counting them as dropped.
    void DropFront(std::size_t count);
    // Of the oldest count rows, how many are visible (the rows a view loses with them).
    std::size_t VisibleAmongFirst(std::size_t count) const;
    // How many of these rows the filter would show.
    std::size_t CountVisible(const std::vector<MonitorRecord>& rows) const;
    void Clear();

    void SetPaused(bool paused) { m_paused = paused; }
    bool Paused() const { return m_paused; }
    // Rows that came while paused.
    std::uint64_t HeldBack() const { return m_heldBack; }
    std::uint64_t Dropped() const { return m_dropped; }

    void SetHidePolls(bool hide);
    bool HidePolls() const { return m_hidePolls; }
    bool IsVisible(const MonitorRecord& row) const;

    std::size_t Count() const { return m_rows.size(); }
    // The row as kept, and its texts.
    MonitorRecord RecordAt(std::size_t index) const;
    MonitorRow At(std::size_t index) const { return DecodeAt(index); }
    std::size_t VisibleCount() const { return m_visible.size(); }
    MonitorRow Visible(std::size_t index) const { return DecodeAt(VisibleIndex(index)); }
    // A number that names a visible row for as long as the store lives, whatever goes before it.
    std::uint64_t VisibleSerial(std::size_t index) const { return m_visible[index]; }

private:
    // 32 bytes a row; the bytes themselves lie in m_bytes, in row order.
    struct Entry {
        std::int64_t wallUs;
        std::int64_t answerUs;
        std::uint64_t offset; // of the row's first byte, counted since the store was made
        std::uint16_t size;
        RowKind kind;
        FrameDrop drop;
        bool poll; // an intact measurement request or answer: what the filter hides
    };
    static_assert(sizeof(Entry) <= 32);

    // A poll that went wrong (a broken answer) stays in view.
    static bool IsPoll(const MonitorRecord& row) {
        return (row.kind == RowKind::ToDevice || row.kind == RowKind::FromDevice) && row.Intact() &&
               row.Command() == CMD_READ_MEASUREMENT;
    }
    std::size_t VisibleIndex(std::size_t index) const {
        return static_cast<std::size_t>(m_visible[index] - m_firstSeq);
    }
    MonitorRow DecodeAt(std::size_t index) const;

    const std::size_t m_capacity;
    std::deque<Entry> m_rows;
    std::deque<char> m_bytes;
    std::uint64_t m_firstByte = 0;       // offset of m_bytes.front()
    std::uint64_t m_firstSeq = 0;        // sequence number of m_rows.front()
    std::deque<std::uint64_t> m_visible; // sequence numbers of the rows the filter shows
    bool m_paused = false;
    bool m_hidePolls = false;
    std::uint64_t m_heldBack = 0;
    std::uint64_t m_dropped = 0;
};
