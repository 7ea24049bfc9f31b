#pragma once

#include "ByteText.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

// The far end of a network line, played by the test: a TCP server on a free port of 127.0.0.1
// that takes one connection and sends and receives what the test says, byte for byte.
class CTcpPeer {
public:
    CTcpPeer();
    ~CTcpPeer();
    CTcpPeer(const CTcpPeer&) = delete;
    CTcpPeer& operator=(const CTcpPeer&) = delete;

    bool Ok() const { return m_listener >= 0; }
    int Port() const { return m_port; }
    std::string Url(std::string_view scheme) const;

    // Waits for the terminal's connection; false after the time-out.
    bool Accept(std::chrono::milliseconds timeout = std::chrono::seconds(3));
    bool Connected() const { return m_client >= 0; }
    // Every byte to the terminal; false when the connection took not all of them in time.
    bool Send(std::string_view bytes);
    // What the terminal sent, until count bytes came or the time-out passed.
    std::string Receive(std::size_t count, std::chrono::milliseconds timeout);
    // Everything the terminal sends within the time; also what came before and was not taken.
    std::string ReceiveFor(std::chrono::milliseconds duration);
    // Whether the terminal has closed its side: a read finds the end of the stream.
    bool ClosedByTerminal(std::chrono::milliseconds timeout);
    void CloseClient();
    void CloseListener();

private:
    int m_listener = -1;
    int m_client = -1;
    int m_port = 0;
};
