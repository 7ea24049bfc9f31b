#include "NetSocket.h"
#include "WinsockText.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <winsock2.h>
#include <ws2tcpip.h>
// After winsock2.h:
#include <mstcpip.h>
#include <windows.h>

#include <algorithm>
#include <system_error>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kCancelCheckMs = 20;
// Keep-alive: the first probe after 20 s of silence, then every 3 s; the system gives up after
// ten unanswered probes, 50 s after the last sign of life.
constexpr ULONG kKeepIdleMs = 20000;
constexpr ULONG kKeepIntervalMs = 3000;

int MillisecondsLeft(SteadyDeadline deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// The system's sockets for as long as the object lives (the system counts the starts).
class CWinsock {
public:
    CWinsock() {
        WSADATA data{};
        m_bStarted = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    ~CWinsock() {
        if (m_bStarted) {
            (void)WSACleanup();
        }
    }
    CWinsock(const CWinsock&) = delete;
    CWinsock& operator=(const CWinsock&) = delete;
    bool Started() const { return m_bStarted; }

private:
    bool m_bStarted = false;
};

Resolution Lookup(const std::string& host, int port, int flags) {
    Resolution result;
    const CWinsock winsock;
    if (!winsock.Started()) {
        result.error = WinsockErrorText(WSAGetLastError());
        return result;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    hints.ai_flags = flags | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    const int status = getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
    if (status != 0) {
        result.error = WinsockErrorText(status);
        return result;
    }
    for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(entry->ai_addr);
        result.addresses.push_back({std::vector<std::uint8_t>(bytes, bytes + entry->ai_addrlen)});
    }
    freeaddrinfo(found);
    if (result.addresses.empty()) {
        result.error = WinsockErrorText(WSAHOST_NOT_FOUND);
    }
    return result;
}

// Whether a connect in progress has ended: 0 still running, 1 connected, -1 failed (error set).
int ConnectState(SOCKET socket, int ms, int& error) {
    fd_set writable;
    fd_set failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(socket, &writable);
    FD_SET(socket, &failed);
    timeval timeout{ms / 1000, (ms % 1000) * 1000};
    const int ready = select(0, nullptr, &writable, &failed, &timeout);
    if (ready == SOCKET_ERROR) {
        error = WSAGetLastError();
        return -1;
    }
    if (ready == 0) {
        return 0;
    }
    if (FD_ISSET(socket, &failed)) {
        int size = sizeof error;
        if (getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) != 0 ||
            error == 0) {
            error = WSAECONNREFUSED;
        }
        return -1;
    }
    return 1;
}

bool WaitFor(SOCKET socket, bool write, int ms) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(socket, &set);
    timeval timeout{ms / 1000, (ms % 1000) * 1000};
    return select(0, write ? nullptr : &set, write ? &set : nullptr, nullptr, &timeout) > 0;
}

} // namespace

Resolution LookUpAddresses(const std::string& host, int port, bool numericOnly) {
    return Lookup(host, port, numericOnly ? AI_NUMERICHOST : 0);
}

CNetSocket::CNetSocket() : m_socket(INVALID_SOCKET) {
    WSADATA data{};
    m_bStarted = WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

CNetSocket::~CNetSocket() {
    Close();
    if (m_bStarted) {
        (void)WSACleanup();
    }
}

bool CNetSocket::IsOpen() const {
    return m_socket != INVALID_SOCKET;
}

void CNetSocket::Close() {
    if (m_socket != INVALID_SOCKET) {
        (void)closesocket(static_cast<SOCKET>(m_socket)); // nothing to do about an error here
        m_socket = INVALID_SOCKET;
    }
    if (m_hEvent != nullptr) {
        (void)WSACloseEvent(static_cast<WSAEVENT>(m_hEvent));
        m_hEvent = nullptr;
    }
}

std::string CNetSocket::Connect(const std::vector<ResolvedAddress>& addresses,
                                SteadyDeadline deadline, const CancelCheck& cancelled) {
    Close();
    m_error.clear();
    if (!m_bStarted) {
        return WinsockErrorText(WSANOTINITIALISED);
    }
    std::string reason = "no address";
    for (const ResolvedAddress& address : addresses) {
        const auto* target = reinterpret_cast<const sockaddr*>(address.bytes.data());
        const SOCKET socket = WSASocketW(target->sa_family, SOCK_STREAM, IPPROTO_TCP, nullptr, 0,
                                         WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
        if (socket == INVALID_SOCKET) {
            reason = WinsockErrorText(WSAGetLastError());
            continue;
        }
        u_long nonBlocking = 1;
        int error = 0;
        if (ioctlsocket(socket, FIONBIO, &nonBlocking) != 0) {
            error = WSAGetLastError();
        } else if (connect(socket, target, static_cast<int>(address.bytes.size())) != 0) {
            error = WSAGetLastError();
        }
        int state = error == 0 ? 1 : (error == WSAEWOULDBLOCK ? 0 : -1);
        while (state == 0) {
            if (cancelled && cancelled()) {
                (void)closesocket(socket);
                return "cancelled";
            }
            const int left = MillisecondsLeft(deadline);
            if (left == 0) {
                (void)closesocket(socket);
                return WinsockErrorText(WSAETIMEDOUT);
            }
            state = ConnectState(socket, std::min(left, kCancelCheckMs), error);
        }
        if (state < 0) {
            reason = WinsockErrorText(error);
            (void)closesocket(socket);
            continue;
        }
        const BOOL on = TRUE;
        (void)setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on),
                         sizeof on);
        tcp_keepalive keepAlive{1, kKeepIdleMs, kKeepIntervalMs};
        DWORD returned = 0;
        // Without it the connection still works; a dead route is only found later.
        (void)WSAIoctl(socket, SIO_KEEPALIVE_VALS, &keepAlive, sizeof keepAlive, nullptr, 0,
                       &returned, nullptr, nullptr);
        WSAEVENT event = WSACreateEvent();
        if (event == WSA_INVALID_EVENT || WSAEventSelect(socket, event, FD_READ | FD_CLOSE) != 0) {
            reason = WinsockErrorText(WSAGetLastError());
            if (event != WSA_INVALID_EVENT) {
                (void)WSACloseEvent(event);
            }
            (void)closesocket(socket);
            continue;
        }
        m_socket = socket;
        m_hEvent = event;
        return {};
    }
    return reason;
}

int CNetSocket::Send(const void* data, int size) {
    if (m_socket == INVALID_SOCKET || size <= 0) {
        return 0;
    }
    const int n = send(static_cast<SOCKET>(m_socket), static_cast<const char*>(data), size, 0);
    if (n >= 0) {
        return n;
    }
    const int error = WSAGetLastError();
    if (error == WSAEWOULDBLOCK) {
        return 0;
    }
    m_error = WinsockErrorText(error);
    return -1;
}

int CNetSocket::Receive(void* buffer, int size) {
    if (m_socket == INVALID_SOCKET || size <= 0) {
        return 0;
    }
    // Reset before reading: input that remains or arrives after the read sets it again.
    (void)WSAResetEvent(static_cast<WSAEVENT>(m_hEvent));
    const int n = recv(static_cast<SOCKET>(m_socket), static_cast<char*>(buffer), size, 0);
    if (n > 0) {
        return n;
    }
    if (n == 0) {
        m_error = "connection closed by the server";
        return -1;
    }
    const int error = WSAGetLastError();
    if (error == WSAEWOULDBLOCK) {
        return 0;
    }
    m_error = WinsockErrorText(error);
    return -1;
}

bool CNetSocket::WaitWritable(int ms) {
    return m_socket != INVALID_SOCKET && WaitFor(static_cast<SOCKET>(m_socket), true, ms);
}

bool CNetSocket::WaitReadable(int ms) {
    return m_socket != INVALID_SOCKET && WaitFor(static_cast<SOCKET>(m_socket), false, ms);
}

bool CNetSocket::Broken() {
    if (m_socket == INVALID_SOCKET) {
        return false;
    }
    int error = 0;
    int size = sizeof error;
    if (getsockopt(static_cast<SOCKET>(m_socket), SOL_SOCKET, SO_ERROR,
                   reinterpret_cast<char*>(&error), &size) != 0) {
        error = WSAGetLastError();
    }
    if (error == 0) {
        // A close the far end has made shows as input that reads as nothing.
        char probe = 0;
        const int n = recv(static_cast<SOCKET>(m_socket), &probe, 1, MSG_PEEK);
        if (n > 0) {
            return false;
        }
        error = n == 0 ? 0 : WSAGetLastError();
        if (error == WSAEWOULDBLOCK) {
            return false;
        }
        m_error =
            error == 0 ? std::string("connection closed by the server") : WinsockErrorText(error);
        return true;
    }
    m_error = WinsockErrorText(error);
    return true;
}

SerialHandle CNetSocket::WaitHandle() const {
    return m_hEvent;
}
