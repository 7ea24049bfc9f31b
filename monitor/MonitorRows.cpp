#include "MonitorRows.h"

#include "RowDecoder.h"

#include <algorithm>

void CMonitorRows::Append(const std::vector<MonitorRecord>& rows) {
    if (m_paused) {
        m_heldBack += rows.size();
        return;
    }
    DropFront(OverflowFor(rows.size()));
    // A batch larger than the whole store keeps only its newest rows.
    const std::size_t skip = rows.size() > m_capacity ? rows.size() - m_capacity : 0;
    m_dropped += skip;
    for (std::size_t i = skip; i < rows.size(); ++i) {
        const MonitorRecord& row = rows[i];
        if (IsVisible(row)) {
            m_visible.push_back(m_firstSeq + m_rows.size());
        }
        const std::size_t size = std::min(row.bytes.size(), kMaxRowBytes);
        m_rows.push_back({row.wallUs, row.answerUs, m_firstByte + m_bytes.size(),
                          static_cast<std::uint16_t>(size), row.kind, row.drop, IsPoll(row)});
        m_bytes.insert(m_bytes.end(), row.bytes.begin(),
                       row.bytes.begin() + static_cast<std::ptrdiff_t>(size));
    }
}

std::size_t CMonitorRows::OverflowFor(std::size_t incoming) const {
    const std::size_t wanted = m_rows.size() + std::min(incoming, m_capacity);
    if (wanted <= m_capacity) {
        return 0;
    }
    return std::min(std::max(wanted - m_capacity, m_capacity / kDropShare), m_rows.size());
}

void CMonitorRows::DropFront(std::size_t count) {
    count = std::min(count, m_rows.size());
    if (count == 0) {
        return;
    }
    const std::size_t visible = VisibleAmongFirst(count);
    m_visible.erase(m_visible.begin(), m_visible.begin() + static_cast<std::ptrdiff_t>(visible));
    const std::uint64_t bytesEnd =
        count < m_rows.size() ? m_rows[count].offset : m_firstByte + m_bytes.size();
    m_bytes.erase(m_bytes.begin(),
                  m_bytes.begin() + static_cast<std::ptrdiff_t>(bytesEnd - m_firstByte));
    m_firstByte = bytesEnd;
    m_rows.erase(m_rows.begin(), m_rows.begin() + static_cast<std::ptrdiff_t>(count));
    m_firstSeq += count;
    m_dropped += count;
}

std::size_t CMonitorRows::VisibleAmongFirst(std::size_t count) const {
    const auto end = std::lower_bound(m_visible.begin(), m_visible.end(), m_firstSeq + count);
    return static_cast<std::size_t>(end - m_visible.begin());
}

std::size_t CMonitorRows::CountVisible(const std::vector<MonitorRecord>& rows) const {
    const std::size_t kept = std::min(rows.size(), m_capacity);
    return static_cast<std::size_t>(
        std::count_if(rows.end() - static_cast<std::ptrdiff_t>(kept), rows.end(),
                      [this](const MonitorRecord& row) { return IsVisible(row); }));
}

void CMonitorRows::Clear() {
    m_firstSeq += m_rows.size();
    m_firstByte += m_bytes.size();
    m_rows.clear();
    m_bytes.clear();
    m_visible.clear();
    // A cleared store gives its memory back, as a newly opened window would have none.
    m_rows.shrink_to_fit();
    m_bytes.shrink_to_fit();
    m_visible.shrink_to_fit();
    m_heldBack = 0;
    m_dropped = 0;
}

void CMonitorRows::SetHidePolls(bool hide) {
    m_hidePolls = hide;
    m_visible.clear();
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        if (!m_hidePolls || !m_rows[i].poll) {
            m_visible.push_back(m_firstSeq + i);
        }
    }
}

bool CMonitorRows::IsVisible(const MonitorRecord& row) const {
    return !m_hidePolls || !IsPoll(row);
}

MonitorRecord CMonitorRows::RecordAt(std::size_t index) const {
    const Entry& entry = m_rows[index];
    MonitorRecord row;
    row.wallUs = entry.wallUs;
    row.answerUs = entry.answerUs;
    row.kind = entry.kind;
    row.drop = entry.drop;
    const auto first = m_bytes.begin() + static_cast<std::ptrdiff_t>(entry.offset - m_firstByte);
    row.bytes.assign(first, first + entry.size);
    return row;
}

MonitorRow CMonitorRows::DecodeAt(std::size_t index) const {
    return DecodeRecord(RecordAt(index));
}
