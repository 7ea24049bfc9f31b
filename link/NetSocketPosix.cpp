#include "NetSocket.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// While a wait may be cancelled, it looks at the cancel this often.
constexpr int kCancelCheckMs = 20;
// Keep-alive: the first probe after 20 s of silence, then every 5 s; six unanswered probes end
// the connection, 50 s after the last sign of life. Data sent and never acknowledged ends it
// after as long.
constexpr int kKeepIdleS = 20;
constexpr int kKeepIntervalS = 5;
constexpr int kKeepCount = 6;
constexpr unsigned kUnacknowledgedLimitMs = 50000;

std::string ErrorText(int error) {
    return std::generic_category().message(error);
}

int MillisecondsLeft(SteadyDeadline deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

Resolution Lookup(const std::string& host, int port, int flags) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    hints.ai_flags = flags | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    Resolution result;
    const int status = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
    if (status != 0) {
        result.error = status == EAI_SYSTEM ? ErrorText(errno) : ::gai_strerror(status);
        return result;
    }
    for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(entry->ai_addr);
        result.addresses.push_back({std::vector<std::uint8_t>(bytes, bytes + entry->ai_addrlen)});
    }
    ::freeaddrinfo(found);
    if (result.addresses.empty()) {
        result.error = ::gai_strerror(EAI_NONAME);
    }
    return result;
}

void SetOption(int fd, int level, int name, int value) {
    // A system without one of these options still connects; it only finds a dead route later.
    (void)::setsockopt(fd, level, name, &value, sizeof value);
}

} // namespace

Resolution LookUpAddresses(const std::string& host, int port, bool numericOnly) {
    return Lookup(host, port, numericOnly ? AI_NUMERICHOST : 0);
}

CNetSocket::CNetSocket() = default;

CNetSocket::~CNetSocket() {
    Close();
}

bool CNetSocket::IsOpen() const {
    return m_socket >= 0;
}

void CNetSocket::Close() {
    if (m_socket >= 0) {
        (void)::close(m_socket); // nothing to do about an error on the way out
        m_socket = -1;
    }
}

std::string CNetSocket::Connect(const std::vector<ResolvedAddress>& addresses,
                                SteadyDeadline deadline, const CancelCheck& cancelled) {
    Close();
    m_error.clear();
    std::string reason = "no address";
    for (const ResolvedAddress& address : addresses) {
        const auto* target = reinterpret_cast<const sockaddr*>(address.bytes.data());
        const int fd =
            ::socket(target->sa_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
        if (fd < 0) {
            reason = ErrorText(errno);
            continue;
        }
        int error = 0;
        if (::connect(fd, target, static_cast<socklen_t>(address.bytes.size())) != 0) {
            error = errno;
        }
        while (error == EINPROGRESS || error == EINTR) {
            if (cancelled && cancelled()) {
                (void)::close(fd);
                return "cancelled";
            }
            const int left = MillisecondsLeft(deadline);
            if (left == 0) {
                (void)::close(fd);
                return ErrorText(ETIMEDOUT);
            }
            pollfd writable{fd, POLLOUT, 0};
            const int ready = ::poll(&writable, 1, std::min(left, kCancelCheckMs));
            if (ready < 0 && errno != EINTR) {
                error = errno;
            } else if (ready > 0) {
                socklen_t size = sizeof error;
                if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) {
                    error = errno;
                }
            }
        }
        if (error != 0) {
            reason = ErrorText(error);
            (void)::close(fd);
            continue;
        }
        SetOption(fd, IPPROTO_TCP, TCP_NODELAY, 1); // a frame goes at once, not with the next
        SetOption(fd, SOL_SOCKET, SO_KEEPALIVE, 1);
#if defined(TCP_KEEPIDLE)
        SetOption(fd, IPPROTO_TCP, TCP_KEEPIDLE, kKeepIdleS);
#elif defined(TCP_KEEPALIVE)
        SetOption(fd, IPPROTO_TCP, TCP_KEEPALIVE, kKeepIdleS);
#endif
#if defined(TCP_KEEPINTVL)
        SetOption(fd, IPPROTO_TCP, TCP_KEEPINTVL, kKeepIntervalS);
        SetOption(fd, IPPROTO_TCP, TCP_KEEPCNT, kKeepCount);
#endif
#if defined(TCP_USER_TIMEOUT)
        SetOption(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, static_cast<int>(kUnacknowledgedLimitMs));
#endif
        m_socket = fd;
        return {};
    }
    return reason;
}

int CNetSocket::Send(const void* data, int size) {
    if (m_socket < 0 || size <= 0) {
        return 0;
    }
    for (;;) {
        // MSG_NOSIGNAL: a connection the far end has closed reports EPIPE instead of killing the
        // program with SIGPIPE.
        const ssize_t n = ::send(m_socket, data, static_cast<std::size_t>(size), MSG_NOSIGNAL);
        if (n >= 0) {
            return static_cast<int>(n);
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            return 0;
        }
        m_error = ErrorText(errno);
        return -1;
    }
}

int CNetSocket::Receive(void* buffer, int size) {
    if (m_socket < 0 || size <= 0) {
        return 0;
    }
    for (;;) {
        const ssize_t n = ::recv(m_socket, buffer, static_cast<std::size_t>(size), 0);
        if (n > 0) {
            return static_cast<int>(n);
        }
        if (n == 0) {
            m_error = "connection closed by the server";
            return -1;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            return 0;
        }
        m_error = ErrorText(errno);
        return -1;
    }
}

bool CNetSocket::WaitWritable(int ms) {
    pollfd writable{m_socket, POLLOUT, 0};
    return ::poll(&writable, 1, ms) > 0;
}

bool CNetSocket::WaitReadable(int ms) {
    pollfd readable{m_socket, POLLIN, 0};
    return ::poll(&readable, 1, ms) > 0;
}

bool CNetSocket::Broken() {
    if (m_socket < 0) {
        return false;
    }
    pollfd state{m_socket, 0, 0};
    if (::poll(&state, 1, 0) != 1 || (state.revents & (POLLHUP | POLLERR | POLLNVAL)) == 0) {
        return false;
    }
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(m_socket, SOL_SOCKET, SO_ERROR, &error, &size) != 0) {
        error = errno;
    }
    m_error = error != 0 ? ErrorText(error) : std::string("connection closed by the server");
    return true;
}

SerialHandle CNetSocket::WaitHandle() const {
    return m_socket;
}
