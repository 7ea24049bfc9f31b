#pragma once

#include "UniqueFd.h"

#include <optional>
#include <string>

// A pseudo-terminal whose slave side stands in for the device's serial port. The simulator
// works on the master side.
class CPseudoTerminal {
public:
    // A new pair with the slave in raw mode (no echo, no line editing, no character mapping).
    // Nothing, with the reason in error, when the system has none to give.
    static std::optional<CPseudoTerminal> Open(std::string& error);

    // Non-blocking, so that a line nobody reads can never stall the simulator.
    int MasterFd() const { return m_master.Get(); }
    const std::string& SlavePath() const { return m_slavePath; }

private:
    CPseudoTerminal() = default;

    CUniqueFd m_master;
    // Held open for the whole run: while any slave descriptor is open, the terminal can close
    // and reopen the port and find the same line with the same settings, and the master never
    // reports a hang-up (which poll would signal again and again while nobody is connected).
    // It also holds an open-file write lock on its first byte, by which a live simulator's
    // line is told apart.
    CUniqueFd m_slave;
    std::string m_slavePath;
};
