#include "LinePacer.h"

#include <algorithm>

namespace {

constexpr long long kBitsPerCharacter = 10; // start bit, 8 data bits, stop bit
constexpr long long kNanosecondsPerSecond = 1000000000;

} // namespace

CLinePacer::CLinePacer(int baudRate) : m_baudRate(baudRate > 0 ? baudRate : 0) {}

CLinePacer::Clock::duration CLinePacer::LineTime(std::size_t characters) const {
    if (m_baudRate == 0) {
        return Clock::duration::zero();
    }
    // Whole seconds and the rest apart, so that no product can overflow.
    const long long bits = static_cast<long long>(characters) * kBitsPerCharacter;
    const long long seconds = bits / m_baudRate;
    const long long rest = bits % m_baudRate;
    const long long nanoseconds = seconds * kNanosecondsPerSecond +
                                  (rest * kNanosecondsPerSecond + m_baudRate - 1) / m_baudRate;
    return std::chrono::duration_cast<Clock::duration>(std::chrono::nanoseconds(nanoseconds));
}

CLinePacer::Clock::time_point CLinePacer::Receive(Clock::time_point sent) {
    if (m_rxCount == 0 || sent > m_rxStart + LineTime(m_rxCount)) {
        // The line was idle when this character was handed to it.
        m_rxStart = sent;
        m_rxCount = 0;
    }
    ++m_rxCount;
    return m_rxStart + LineTime(m_rxCount);
}

CLinePacer::Clock::time_point CLinePacer::Transmit(Clock::time_point ready, std::size_t size) {
    const Clock::time_point start = std::max(ready, m_txFree);
    m_txFree = start + LineTime(size);
    return start;
}
