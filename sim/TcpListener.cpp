#include "TcpListener.h"

#include <cerrno>
#include <cstring>

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

std::optional<CTcpListener> CTcpListener::Open(const ListenAddress& address, std::string& error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    // An address as written: a name could stand for several, and the default must never
    // widen to every interface.
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV | AI_PASSIVE;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(address.port);
    const int status = ::getaddrinfo(address.host.c_str(), service.c_str(), &hints, &found);
    if (status != 0) {
        error =
            "--listen needs an IP address, not \"" + address.host + "\": " + ::gai_strerror(status);
        return std::nullopt;
    }
    CTcpListener listener;
    listener.m_socket.Reset(
        ::socket(found->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP));
    const int fd = listener.m_socket.Get();
    const int on = 1;
    const bool ok = fd >= 0 && ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) == 0 &&
                    ::bind(fd, found->ai_addr, found->ai_addrlen) == 0 && ::listen(fd, 4) == 0;
    const int failure = errno;
    ::freeaddrinfo(found);
    if (!ok) {
        error = "cannot listen on " + address.host + ":" + service + ": " + std::strerror(failure);
        return std::nullopt;
    }
    sockaddr_storage bound{};
    socklen_t size = sizeof bound;
    char host[NI_MAXHOST];
    char port[NI_MAXSERV];
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &size) != 0 ||
        ::getnameinfo(reinterpret_cast<sockaddr*>(&bound), size, host, sizeof host, port,
                      sizeof port, NI_NUMERICHOST | NI_NUMERICSERV) != 0) {
        error = std::string("cannot tell the port listened on: ") + std::strerror(errno);
        return std::nullopt;
    }
    const std::string shown =
        std::strchr(host, ':') != nullptr ? "[" + std::string(host) + "]" : std::string(host);
    listener.m_url = "tcp://" + shown + ":" + port;
    return listener;
}

CUniqueFd CTcpListener::Accept(std::string& error) {
    CUniqueFd client(::accept4(m_socket.Get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
    if (!client.IsOpen()) {
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR && errno != ECONNABORTED) {
            error = std::strerror(errno);
        }
        return client;
    }
    const int on = 1;
    // Answers go out at once, as from a serial line; without it only the timing suffers.
    (void)::setsockopt(client.Get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return client;
}
