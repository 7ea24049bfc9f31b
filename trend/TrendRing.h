#pragma once

#include "ReadingSample.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// One point of the speed trend: a reading, or a gap where readings were missing.
struct TrendPoint {
    std::int64_t timeMs = 0; // wall clock, milliseconds since the epoch
    bool gap = false;
    ReadingSample reading; // when not a gap
};

// The readings of the last day, at one a second, oldest first; a full ring drops its oldest
// point for each new one. A run of missing readings is one gap point.
class CTrendRing {
public:
    static constexpr std::size_t kDayOfReadings = 24 * 60 * 60;

    explicit CTrendRing(std::size_t capacity = kDayOfReadings);

    void AddReading(std::int64_t timeMs, const ReadingSample& reading);
    // Nothing before the first reading or right after another gap needs a break.
    void AddGap(std::int64_t timeMs);

    std::size_t Size() const { return m_size; }
    std::size_t Capacity() const { return m_points.size(); }
    bool Empty() const { return m_size == 0; }
    // Point `index` counted from the oldest.
    const TrendPoint& operator[](std::size_t index) const {
        return m_points[(m_oldest + index) % m_points.size()];
    }
    const TrendPoint& Newest() const { return (*this)[m_size - 1]; }

    // Index of the first of the newest points that lie within spanMs before endMs (end
    // included); Size() when none does. Walks back from the newest, so a clock set back leaves
    // what came before the change out.
    std::size_t FirstWithin(std::int64_t spanMs, std::int64_t endMs) const;

private:
    void Push(const TrendPoint& point);

    std::vector<TrendPoint> m_points;
    std::size_t m_oldest = 0;
    std::size_t m_size = 0;
};
