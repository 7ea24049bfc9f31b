#pragma once

#include <cstdint>
#include <random>

// A plausible gusty wind: a slowly wandering mean, short-lived turbulence and now and then a
// gust that rises and falls over a few seconds. The same seed gives the same wind on every
// platform: only the generator's raw output is used, never the library's distributions, whose
// results the standard leaves to each implementation.
class CGustyWind {
public:
    explicit CGustyWind(std::uint32_t seed);

    // The speed one second after the previous one, in m/s, never negative.
    double Next();

private:
    double Uniform(); // in [0, 1)
    double Normal();  // mean 0, deviation 1

    std::mt19937 m_random;
    double m_mean;
    double m_turbulence = 0.0;
    double m_gustPeak = 0.0;
    int m_gustLength = 0; // seconds; 0 while no gust blows
    int m_gustAge = 0;
};
