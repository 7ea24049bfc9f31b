#include "GustyWind.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kTypicalMean = 7.0; // m/s
constexpr double kLowestMean = 2.0;
constexpr double kHighestMean = 14.0;
constexpr double kGustChancePerSecond = 0.05;

} // namespace

CGustyWind::CGustyWind(std::uint32_t seed) : m_random(seed) {
    m_mean = kLowestMean + (kHighestMean - kLowestMean) * 0.25 + 4.0 * Uniform();
}

double CGustyWind::Uniform() {
    return static_cast<double>(m_random()) / 4294967296.0;
}

double CGustyWind::Normal() {
    // Box-Muller; 1 - Uniform() lies in (0, 1], so the logarithm is finite.
    const double radius = std::sqrt(-2.0 * std::log(1.0 - Uniform()));
    return radius * std::cos(2.0 * std::numbers::pi * Uniform());
}

double CGustyWind::Next() {
    // The mean wanders and is drawn back towards a typical breeze.
    m_mean += 0.15 * Normal() + 0.02 * (kTypicalMean - m_mean);
    m_mean = std::clamp(m_mean, kLowestMean, kHighestMean);

    // Turbulence forgets itself within a few seconds.
    m_turbulence = 0.6 * m_turbulence + 0.5 * Normal();

    if (m_gustLength == 0 && Uniform() < kGustChancePerSecond) {
        m_gustPeak = 2.0 + 5.0 * Uniform();
        m_gustLength = 3 + static_cast<int>(6.0 * Uniform());
        m_gustAge = 0;
    }
    double gust = 0.0;
    if (m_gustLength > 0) {
        ++m_gustAge;
        gust = m_gustPeak * std::sin(std::numbers::pi * m_gustAge / (m_gustLength + 1));
        if (m_gustAge >= m_gustLength) {
            m_gustLength = 0;
        }
    }
    return std::max(0.0, m_mean + m_turbulence + gust);
}
