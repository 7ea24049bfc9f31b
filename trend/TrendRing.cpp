#include "TrendRing.h"

#include <algorithm>

CTrendRing::CTrendRing(std::size_t capacity) : m_points(std::max<std::size_t>(capacity, 1)) {}

void CTrendRing::AddReading(std::int64_t timeMs, const ReadingSample& reading) {
    Push(TrendPoint{timeMs, false, reading});
}

void CTrendRing::AddGap(std::int64_t timeMs) {
    if (m_size == 0 || Newest().gap) {
        return;
    }
    Push(TrendPoint{timeMs, true, {}});
}

void CTrendRing::Push(const TrendPoint& point) {
    if (m_size < m_points.size()) {
        m_points[(m_oldest + m_size) % m_points.size()] = point;
        ++m_size;
    } else {
        m_points[m_oldest] = point;
        m_oldest = (m_oldest + 1) % m_points.size();
    }
}

std::size_t CTrendRing::FirstWithin(std::int64_t spanMs, std::int64_t endMs) const {
    std::size_t first = m_size;
    while (first > 0) {
        const std::int64_t time = (*this)[first - 1].timeMs;
        if (time > endMs || time < endMs - spanMs) {
            break;
        }
        --first;
    }
    return first;
}
