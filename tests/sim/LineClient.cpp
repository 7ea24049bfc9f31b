#include "LineClient.h"

#include "FrameParser.h"
#include "LinkMessage.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

} // namespace

CLineClient::CLineClient(const std::string& path) {
    m_fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios settings{};
    if (m_fd >= 0 && ::tcgetattr(m_fd, &settings) == 0) {
        ::cfmakeraw(&settings);
        (void)::tcsetattr(m_fd, TCSANOW, &settings); // the device's side is raw already
        (void)::tcflush(m_fd, TCIOFLUSH);            // as a terminal does when it connects
    }
}

CLineClient::~CLineClient() {
    if (m_fd >= 0) {
        (void)::close(m_fd);
    }
}

void CLineClient::Send(std::string_view wire) {
    // Test requests are short: one write takes them whole or the test fails on the answer.
    (void)!::write(m_fd, wire.data(), wire.size());
}

bool CLineClient::ReadSome(std::chrono::milliseconds timeout) {
    pollfd readable{m_fd, POLLIN, 0};
    if (::poll(&readable, 1, static_cast<int>(timeout.count())) <= 0) {
        return false;
    }
    char buffer[512];
    const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
    if (n <= 0) {
        return false;
    }
    m_received.append(buffer, static_cast<std::size_t>(n));
    return true;
}

std::string CLineClient::NextFrame(std::chrono::milliseconds timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    for (;;) {
        const std::size_t start = m_received.find("\n\r:");
        if (start != std::string::npos && m_received.size() >= start + 5) {
            const int length = std::stoi(m_received.substr(start + 3, 2), nullptr, 16);
            const std::size_t size = 3 + 2 * (static_cast<std::size_t>(length) + 1);
            if (m_received.size() >= start + size) {
                std::string frame = m_received.substr(start, size);
                m_received.erase(0, start + size);
                return frame;
            }
        }
        if (RemainingMs(deadline) == 0 ||
            !ReadSome(std::chrono::milliseconds(RemainingMs(deadline)))) {
            return {};
        }
    }
}

std::string CLineClient::ReadFor(std::chrono::milliseconds period) {
    const Clock::time_point deadline = Clock::now() + period;
    while (RemainingMs(deadline) > 0) {
        (void)ReadSome(std::chrono::milliseconds(RemainingMs(deadline)));
    }
    return std::exchange(m_received, {});
}

LinkMessage DecodeWire(std::string_view wire) {
    std::uint8_t store[FrameParser::kCapacity];
    FrameParser parser(store);
    LinkMessage message;
    message.length = 255;
    for (char c : wire) {
        if (parser.Feed(c) && !DecodeFrame(parser.Buffer(), message)) {
            message.length = 255;
        }
    }
    return message;
}
