#pragma once

#include <chrono>
#include <cstddef>

// The timing of a serial line at a baud rate, 8N1: ten bits per character. All times are when
// a character has crossed the line completely, the moment the far end can read it. Pure
// arithmetic on the time points it is given, so that it can be checked without sleeping.
// A rate of 0 stands for a line without transfer time (every character is there at once).
class CLinePacer {
public:
    using Clock = std::chrono::steady_clock;

    explicit CLinePacer(int baudRate = 0);

    // How long the line needs for this many characters back to back; rounded up to whole
    // nanoseconds, so that nothing is modelled as faster than the line.
    Clock::duration LineTime(std::size_t characters) const;

    // Incoming: when a character handed to the line at `sent` has arrived. It crosses the line
    // in one character time, behind the character before it when that is still crossing.
    Clock::time_point Receive(Clock::time_point sent);

    // Outgoing: reserves the line for a frame of `size` characters ready at `ready`, behind the
    // frames reserved before it; returns when its first character starts.
    Clock::time_point Transmit(Clock::time_point ready, std::size_t size);

    // When character `index` (from 0) of a frame that started at `start` has been sent.
    Clock::time_point Sent(Clock::time_point start, std::size_t index) const {
        return start + LineTime(index + 1);
    }

private:
    long long m_baudRate;
    // Incoming characters back to back since m_rxStart, counted rather than added up one
    // character time at a time, so that a long burst keeps the exact rate.
    Clock::time_point m_rxStart{};
    std::size_t m_rxCount = 0;
    Clock::time_point m_txFree{}; // when the last reserved outgoing character has been sent
};
