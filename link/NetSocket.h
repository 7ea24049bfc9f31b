#pragma once

#include "LinePort.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// One address a name resolved to, as the system's socket calls take it.
struct ResolvedAddress {
    std::vector<std::uint8_t> bytes; // the system's socket address
};

// What a name resolved to, or why it did not.
struct Resolution {
    std::vector<ResolvedAddress> addresses;
    std::string error; // the system's reason; set when addresses is empty
};

using SteadyDeadline = std::chrono::steady_clock::time_point;
// True once the caller gives up waiting.
using CancelCheck = std::function<bool()>;

// Turns a host and port into addresses; gives up at the deadline or once cancelled() holds.
// The network line takes one, so that a test can answer for names without asking the network.
using NameResolver = std::function<Resolution(
    const std::string& host, int port, SteadyDeadline deadline, const CancelCheck& cancelled)>;

// The system's resolver: an address written as one is taken at once; a name is looked up on a
// thread of its own, so that the wait can end at the deadline or on a cancel while the lookup
// goes on by itself and is then forgotten.
Resolution ResolveName(const std::string& host, int port, SteadyDeadline deadline,
                       const CancelCheck& cancelled);

// An address written as one ("127.0.0.1", "::1"), never looked up; an error for a name.
Resolution NumericAddress(const std::string& host, int port);

// The system's lookup itself, blocking for as long as the system takes; numericOnly takes an
// address written as one and never asks the network. Each platform's socket file has it.
Resolution LookUpAddresses(const std::string& host, int port, bool numericOnly);

// One TCP connection with the options a serial line over the network wants: no delay for small
// writes, and keep-alive probes that find a dead route within a minute while nothing is sent.
// Never blocks: sends and receives report what they could do at once; waits are explicit and
// bounded.
class CNetSocket {
public:
    CNetSocket();
    ~CNetSocket();
    CNetSocket(const CNetSocket&) = delete;
    CNetSocket& operator=(const CNetSocket&) = delete;

    // Tries the addresses in turn until one accepts. Empty when connected, otherwise the
    // reason of the last address tried ("Connection refused"), "Connection timed out" at the
    // deadline, "cancelled" once cancelled() holds.
    std::string Connect(const std::vector<ResolvedAddress>& addresses, SteadyDeadline deadline,
                        const CancelCheck& cancelled);
    bool IsOpen() const;
    void Close();

    // Bytes taken; 0 when the connection cannot take any now; -1 when it has failed (Error()).
    int Send(const void* data, int size);
    // Bytes received; 0 when nothing is waiting; -1 when the far end closed the connection or
    // it failed (Error()).
    int Receive(void* buffer, int size);
    // Waits at most ms for room to send, or for something to receive; true when it came (or the
    // connection failed: the next call says).
    bool WaitWritable(int ms);
    bool WaitReadable(int ms);
    // Whether the connection has failed or been closed, asked without reading; Error() says why.
    bool Broken();
    const std::string& Error() const { return m_error; }

    // What the link's wake-up waits on for input: the socket on POSIX, on Windows an event the
    // system sets when input arrives or the connection ends (reset by Receive).
    SerialHandle WaitHandle() const;

private:
#if defined(_WIN32)
    std::uintptr_t m_socket;
    void* m_hEvent = nullptr;
    bool m_bStarted = false; // the system's sockets were started for this object
#else
    int m_socket = -1;
#endif
    std::string m_error;
};
