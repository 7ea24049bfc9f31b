#include "MonitorStats.h"

#include "DeviceCommands.h"

#include <algorithm>
#include <cstdio>

void CMonitorStats::Reset() {
    *this = CMonitorStats();
}

void CMonitorStats::Count(const MonitorRecord& row, bool timeout) {
    switch (row.kind) {
    case RowKind::ToDevice:
        ++requests;
        break;
    case RowKind::FromDevice:
        if (!row.Intact()) {
            badChecksums += row.drop == FrameDrop::BadChecksum ? 1 : 0;
        } else if (row.Command() == CMD_TEXT) {
            ++deviceTexts;
        } else {
            ++answers;
        }
        break;
    case RowKind::Noise:
        noiseBytes += row.bytes.size();
        break;
    case RowKind::Event:
        timeouts += timeout ? 1 : 0;
        break;
    }
    if (row.answerUs < 0) {
        return;
    }
    const std::int64_t us = row.answerUs;
    m_minUs = m_answerCount == 0 ? us : std::min(m_minUs, us);
    m_maxUs = std::max(m_maxUs, us);
    m_sumUs += us;
    ++m_answerCount;
    ++m_histogram[static_cast<std::size_t>(std::min<std::int64_t>(us / 1000, kMaxAnswerMs))];
}

std::int64_t CMonitorStats::MeanAnswerUs() const {
    return m_answerCount == 0 ? 0 : m_sumUs / static_cast<std::int64_t>(m_answerCount);
}

std::int64_t CMonitorStats::Percentile95Us() const {
    if (m_answerCount == 0) {
        return 0;
    }
    // The smallest step at or below which 95 % of the answers lie, as its upper edge, but never
    // beyond the longest answer seen.
    const std::uint64_t wanted = (m_answerCount * 95 + 99) / 100;
    std::uint64_t seen = 0;
    for (std::size_t ms = 0; ms < m_histogram.size(); ++ms) {
        seen += m_histogram[ms];
        if (seen >= wanted) {
            return std::min<std::int64_t>(static_cast<std::int64_t>(ms + 1) * 1000, m_maxUs);
        }
    }
    return m_maxUs;
}

std::string CMonitorStats::Text() const {
    char text[320];
    auto ms = [](std::int64_t us) { return static_cast<double>(us) / 1000.0; };
    std::snprintf(
        text, sizeof text,
        "Zapytania %llu, odpowiedzi %llu, brak odpowiedzi %llu, teksty urządzenia %llu, "
        "błędne sumy %llu, bajty szumu %llu; czas odpowiedzi min %.1f / śr %.1f / "
        "95%% %.1f / max %.1f ms",
        static_cast<unsigned long long>(requests), static_cast<unsigned long long>(answers),
        static_cast<unsigned long long>(timeouts), static_cast<unsigned long long>(deviceTexts),
        static_cast<unsigned long long>(badChecksums), static_cast<unsigned long long>(noiseBytes),
        ms(MinAnswerUs()), ms(MeanAnswerUs()), ms(Percentile95Us()), ms(MaxAnswerUs()));
    return text;
}
