#pragma once

#include "SimOptions.h"
#include "UniqueFd.h"

#include <optional>
#include <string>

// A listening TCP socket for the simulator's one client at a time; the others wait in the
// queue until the one served goes.
class CTcpListener {
public:
    static std::optional<CTcpListener> Open(const ListenAddress& address, std::string& error);

    int Fd() const { return m_socket.Get(); }
    // "tcp://127.0.0.1:4001": what a terminal maps a port to.
    const std::string& Url() const { return m_url; }
    // The next client, non-blocking; an empty descriptor when none waits (or on an error, with
    // the reason in error).
    CUniqueFd Accept(std::string& error);

private:
    CTcpListener() = default;

    CUniqueFd m_socket;
    std::string m_url;
};
