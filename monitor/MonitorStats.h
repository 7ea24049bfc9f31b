#pragma once

#include "MonitorRecord.h"

#include <array>
#include <cstdint>
#include <string>

// The link's figures since the last connect, counted from every row (shown or not).
class CMonitorStats {
public:
    // Answer times are kept in 1 ms steps up to this; longer ones share the last step.
    static constexpr int kMaxAnswerMs = 10000;

    void Reset();
    // Counts a row; a timed-out request is an event row with timeout set.
    void Count(const MonitorRecord& row, bool timeout);

    std::uint64_t requests = 0;
    std::uint64_t answers = 0;
    std::uint64_t timeouts = 0;
    std::uint64_t deviceTexts = 0;
    std::uint64_t badChecksums = 0;
    std::uint64_t noiseBytes = 0;

    std::uint64_t AnswerCount() const { return m_answerCount; }
    // Answer times in microseconds; 0 while there were none.
    std::int64_t MinAnswerUs() const { return m_answerCount ? m_minUs : 0; }
    std::int64_t MaxAnswerUs() const { return m_maxUs; }
    std::int64_t MeanAnswerUs() const;
    // The 95th percentile to the millisecond (the step it falls in).
    std::int64_t Percentile95Us() const;

    // The status line: "Zapytania 12, odpowiedzi 11, ...".
    std::string Text() const;

private:
    std::uint64_t m_answerCount = 0;
    std::int64_t m_sumUs = 0;
    std::int64_t m_minUs = 0;
    std::int64_t m_maxUs = 0;
    std::array<std::uint32_t, kMaxAnswerMs + 1> m_histogram{};
};
