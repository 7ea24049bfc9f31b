#include "MonitorRows.h"

#include "DeviceCommands.h"

#include <algorithm>

void CMonitorRows::Append(const std::vector<MonitorRow>& rows) {
    if (m_paused) {
        m_heldBack += rows.size();
        return;
    }
    DropFront(OverflowFor(rows.size()));
    // A batch larger than the whole store keeps only its newest rows.
    const std::size_t skip = rows.size() > m_capacity ? rows.size() - m_capacity : 0;
    m_dropped += skip;
    for (std::size_t i = skip; i < rows.size(); ++i) {
        if (IsVisible(rows[i])) {
            m_visible.push_back(m_firstSeq + m_rows.size());
        }
        m_rows.push_back(rows[i]);
    }
}

std::size_t CMonitorRows::OverflowFor(std::size_t incoming) const {
    const std::size_t wanted = m_rows.size() + std::min(incoming, m_capacity);
    return wanted > m_capacity ? wanted - m_capacity : 0;
}

void CMonitorRows::DropFront(std::size_t count) {
    count = std::min(count, m_rows.size());
    const std::size_t visible = VisibleAmongFirst(count);
    m_visible.erase(m_visible.begin(), m_visible.begin() + static_cast<std::ptrdiff_t>(visible));
    m_rows.erase(m_rows.begin(), m_rows.begin() + static_cast<std::ptrdiff_t>(count));
    m_firstSeq += count;
    m_dropped += count;
}

std::size_t CMonitorRows::VisibleAmongFirst(std::size_t count) const {
    const auto end = std::lower_bound(m_visible.begin(), m_visible.end(), m_firstSeq + count);
    return static_cast<std::size_t>(end - m_visible.begin());
}

std::size_t CMonitorRows::CountVisible(const std::vector<MonitorRow>& rows) const {
    const std::size_t kept = std::min(rows.size(), m_capacity);
    return static_cast<std::size_t>(
        std::count_if(rows.end() - static_cast<std::ptrdiff_t>(kept), rows.end(),
                      [this](const MonitorRow& row) { return IsVisible(row); }));
}

void CMonitorRows::Clear() {
    m_firstSeq += m_rows.size();
    m_rows.clear();
    m_visible.clear();
    m_heldBack = 0;
    m_dropped = 0;
}

void CMonitorRows::SetHidePolls(bool hide) {
    m_hidePolls = hide;
    m_visible.clear();
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        if (IsVisible(m_rows[i])) {
            m_visible.push_back(m_firstSeq + i);
        }
    }
}

bool CMonitorRows::IsVisible(const MonitorRow& row) const {
    // A poll that went wrong (a broken answer) stays in view.
    return !m_hidePolls || row.command != CMD_READ_MEASUREMENT || row.check != "poprawna" ||
           (row.kind != RowKind::ToDevice && row.kind != RowKind::FromDevice);
}

const MonitorRow& CMonitorRows::Visible(std::size_t index) const {
    return m_rows[static_cast<std::size_t>(m_visible[index] - m_firstSeq)];
}
