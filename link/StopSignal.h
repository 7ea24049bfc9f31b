#pragma once

#include "UniqueFd.h"

#include <signal.h>

#include <cstddef>
#include <string>

// Turns SIGINT, SIGTERM and SIGHUP into a readable pipe, so that the simulator leaves its loop
// and cleans up (removes its link) instead of dying on the spot. SIGPIPE is ignored: a reader
// of standard output that goes away must not kill the simulator either. One at a time.
class CStopSignal {
public:
    CStopSignal() = default;
    ~CStopSignal();
    CStopSignal(const CStopSignal&) = delete;
    CStopSignal& operator=(const CStopSignal&) = delete;

    bool Install(std::string& error);

    // Readable once a stop signal has come; each signal is one byte, its number.
    int Fd() const { return m_read.Get(); }

private:
    CUniqueFd m_read;
    CUniqueFd m_write;
    std::size_t m_installedCount = 0;
    struct sigaction m_previous[4] = {};
};
