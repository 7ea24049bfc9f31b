#include "TcpServerWin32.h"

#include "SocketLineChannelWin32.h"
#include "WinsockText.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <winsock2.h>
#include <ws2tcpip.h>
// After winsock2.h:
#include <windows.h>

#include <cstring>
#include <ostream>

namespace {

// Closes a client socket when the service of it ends.
class CClientSocket {
public:
    explicit CClientSocket(SOCKET socket) : m_socket(socket) {}
    ~CClientSocket() {
        if (m_socket != INVALID_SOCKET) {
            (void)closesocket(m_socket); // nothing more is sent on it
        }
    }
    CClientSocket(const CClientSocket&) = delete;
    CClientSocket& operator=(const CClientSocket&) = delete;

    SOCKET Get() const { return m_socket; }

private:
    SOCKET m_socket;
};

} // namespace

CTcpServer::CTcpServer() : m_socket(INVALID_SOCKET) {
    WSADATA data{};
    m_bStarted = WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

CTcpServer::~CTcpServer() {
    if (m_hAcceptEvent != nullptr) {
        (void)WSACloseEvent(static_cast<WSAEVENT>(m_hAcceptEvent));
    }
    if (m_socket != INVALID_SOCKET) {
        (void)closesocket(static_cast<SOCKET>(m_socket));
    }
    if (m_bStarted) {
        (void)WSACleanup();
    }
}

bool CTcpServer::Open(const ListenAddress& address, std::string& error) {
    if (!m_bStarted) {
        error = "the system's sockets cannot be started";
        return false;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    // An address as written: a name could stand for several, and the default must never
    // widen to every interface.
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV | AI_PASSIVE;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(address.port);
    const int status = getaddrinfo(address.host.c_str(), service.c_str(), &hints, &found);
    if (status != 0) {
        error = "--listen needs an IP address, not \"" + address.host +
                "\": " + WinsockErrorText(status);
        return false;
    }
    const SOCKET listener = socket(found->ai_family, SOCK_STREAM, IPPROTO_TCP);
    m_socket = listener;
    // No SO_REUSEADDR: on Windows it lets a second program take a port in use. Exclusive use
    // keeps another program from listening on the simulator's port.
    const BOOL on = TRUE;
    const bool ok = listener != INVALID_SOCKET &&
                    setsockopt(listener, SOL_SOCKET, SO_EXCLUSIVEADDRUSE,
                               reinterpret_cast<const char*>(&on), sizeof on) == 0 &&
                    bind(listener, found->ai_addr, static_cast<int>(found->ai_addrlen)) == 0 &&
                    listen(listener, 4) == 0;
    const int failure = WSAGetLastError();
    freeaddrinfo(found);
    if (!ok) {
        error =
            "cannot listen on " + address.host + ":" + service + ": " + WinsockErrorText(failure);
        return false;
    }
    sockaddr_storage bound{};
    int size = sizeof bound;
    char host[NI_MAXHOST];
    char port[NI_MAXSERV];
    if (getsockname(listener, reinterpret_cast<sockaddr*>(&bound), &size) != 0 ||
        getnameinfo(reinterpret_cast<sockaddr*>(&bound), size, host, sizeof host, port, sizeof port,
                    NI_NUMERICHOST | NI_NUMERICSERV) != 0) {
        error = "cannot tell the port listened on: " + WinsockErrorText(WSAGetLastError());
        return false;
    }
    const WSAEVENT event = WSACreateEvent();
    if (event == WSA_INVALID_EVENT) {
        error = "cannot create an event: " + WinsockErrorText(WSAGetLastError());
        return false;
    }
    m_hAcceptEvent = event;
    // Also makes the socket non-blocking, and the clients it accepts.
    if (WSAEventSelect(listener, event, FD_ACCEPT) != 0) {
        error = "cannot watch the listening socket: " + WinsockErrorText(WSAGetLastError());
        return false;
    }
    const std::string shown =
        std::strchr(host, ':') != nullptr ? "[" + std::string(host) + "]" : std::string(host);
    m_url = "tcp://" + shown + ":" + port;
    return true;
}

LoopEnd CTcpServer::Serve(CDeviceModel& model, const LineBehaviour& line,
                          const CDeviceLoop::LogFn& log, const CDeviceLoop::MemoryFn& saveMemory,
                          void* stopEvent, std::ostream& err) {
    const SOCKET listener = static_cast<SOCKET>(m_socket);
    for (;;) {
        const HANDLE handles[2] = {static_cast<HANDLE>(stopEvent),
                                   static_cast<HANDLE>(m_hAcceptEvent)};
        const DWORD result = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
        if (result == WAIT_OBJECT_0) {
            return LoopEnd::Stopped;
        }
        if (result != WAIT_OBJECT_0 + 1) {
            err << "qal-sim: wait failed: " << WinsockErrorText(static_cast<int>(GetLastError()))
                << '\n';
            return LoopEnd::LineFailed;
        }
        WSANETWORKEVENTS events{};
        if (WSAEnumNetworkEvents(listener, static_cast<WSAEVENT>(m_hAcceptEvent), &events) != 0) {
            // The event must not stay set, or the wait above would return at once for ever; a
            // client that waits is reported again by the system after the accept below.
            (void)WSAResetEvent(static_cast<WSAEVENT>(m_hAcceptEvent));
        }
        const CClientSocket client(accept(listener, nullptr, nullptr));
        if (client.Get() == INVALID_SOCKET) {
            const int error = WSAGetLastError();
            if (error != WSAEWOULDBLOCK && error != WSAECONNRESET && error != WSAEINTR) {
                err << "qal-sim: cannot take a connection: " << WinsockErrorText(error) << '\n';
            }
            continue;
        }
        const BOOL on = TRUE;
        // Answers go out at once, as from a serial line; without it only the timing suffers.
        (void)setsockopt(client.Get(), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on),
                         sizeof on);
        CSocketLineChannel channel(client.Get(), stopEvent);
        if (!channel.SetupError().empty()) {
            err << "qal-sim: cannot serve a connection: " << channel.SetupError() << '\n';
            continue;
        }
        err << "qal-sim: a client connected\n";
        CDeviceLoop loop(channel, model, line, log, saveMemory);
        const LoopEnd end = loop.Run();
        if (end != LoopEnd::LineFailed) {
            return end;
        }
        err << "qal-sim: the client went (" << loop.Failure() << ")\n";
    }
}
