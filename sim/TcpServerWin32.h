#pragma once

#include "DeviceLoop.h"
#include "SimOptions.h"

#include <cstdint>
#include <iosfwd>
#include <string>

// Windows: the simulator's listening TCP socket and its one client at a time; the others wait
// in the queue until the one served goes. Starts the system's sockets for as long as it lives.
class CTcpServer {
public:
    CTcpServer();
    ~CTcpServer();
    CTcpServer(const CTcpServer&) = delete;
    CTcpServer& operator=(const CTcpServer&) = delete;

    // False with the reason in error when the address cannot be listened on.
    bool Open(const ListenAddress& address, std::string& error);
    // "tcp://127.0.0.1:4001": what a terminal maps a port to.
    const std::string& Url() const { return m_url; }

    // Serves one client after another until stopEvent is set; the device keeps its memory.
    // LineFailed only when the listener itself fails.
    LoopEnd Serve(CDeviceModel& model, const LineBehaviour& line, const CDeviceLoop::LogFn& log,
                  const CDeviceLoop::MemoryFn& saveMemory, void* stopEvent, std::ostream& err);

private:
    bool m_bStarted = false;
    std::uintptr_t m_socket;
    void* m_hAcceptEvent = nullptr;
    std::string m_url;
};
