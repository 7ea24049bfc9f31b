#include "TcpPeer.h"

#include "Deadline.h"

#include <algorithm>
#include <cerrno>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

CTcpPeer::CTcpPeer() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0; // the system picks a free one
    socklen_t size = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 4) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        ::close(fd);
        return;
    }
    m_listener = fd;
    m_port = ntohs(address.sin_port);
}

CTcpPeer::~CTcpPeer() {
    CloseClient();
    CloseListener();
}

std::string CTcpPeer::Url(std::string_view scheme) const {
    return std::string(scheme) + "://127.0.0.1:" + std::to_string(m_port);
}

bool CTcpPeer::Accept(std::chrono::milliseconds timeout) {
    pollfd readable{m_listener, POLLIN, 0};
    if (::poll(&readable, 1, static_cast<int>(timeout.count())) != 1) {
        return false;
    }
    m_client = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
    return m_client >= 0;
}

bool CTcpPeer::Send(std::string_view bytes) {
    const auto deadline = TestClock::now() + std::chrono::seconds(3);
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        pollfd writable{m_client, POLLOUT, 0};
        if (::poll(&writable, 1, MillisecondsUntil(deadline)) != 1) {
            return false;
        }
        const ssize_t n = ::send(m_client, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            return false;
        }
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

std::string CTcpPeer::Receive(std::size_t count, std::chrono::milliseconds timeout) {
    const auto deadline = TestClock::now() + timeout;
    std::string received;
    while (received.size() < count) {
        pollfd readable{m_client, POLLIN, 0};
        if (::poll(&readable, 1, MillisecondsUntil(deadline)) != 1) {
            break;
        }
        char buffer[4096];
        const ssize_t n =
            ::recv(m_client, buffer, std::min(sizeof buffer, count - received.size()), 0);
        if (n <= 0) {
            break;
        }
        received.append(buffer, static_cast<std::size_t>(n));
    }
    return received;
}

std::string CTcpPeer::ReceiveFor(std::chrono::milliseconds duration) {
    const auto deadline = TestClock::now() + duration;
    std::string received;
    for (;;) {
        pollfd readable{m_client, POLLIN, 0};
        if (::poll(&readable, 1, MillisecondsUntil(deadline)) != 1) {
            return received;
        }
        char buffer[4096];
        const ssize_t n = ::recv(m_client, buffer, sizeof buffer, 0);
        if (n <= 0) {
            return received;
        }
        received.append(buffer, static_cast<std::size_t>(n));
    }
}

bool CTcpPeer::ClosedByTerminal(std::chrono::milliseconds timeout) {
    const auto deadline = TestClock::now() + timeout;
    for (;;) {
        pollfd readable{m_client, POLLIN, 0};
        if (::poll(&readable, 1, MillisecondsUntil(deadline)) != 1) {
            return false;
        }
        char buffer[4096];
        const ssize_t n = ::recv(m_client, buffer, sizeof buffer, 0);
        if (n == 0 || (n < 0 && errno == ECONNRESET)) {
            return true;
        }
        if (n < 0) {
            return false;
        }
    }
}

void CTcpPeer::CloseClient() {
    if (m_client >= 0) {
        ::close(m_client);
        m_client = -1;
    }
}

void CTcpPeer::CloseListener() {
    if (m_listener >= 0) {
        ::close(m_listener);
        m_listener = -1;
    }
}
