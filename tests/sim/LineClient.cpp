#include "LineClient.h"

#include "Deadline.h"
#include "FrameParser.h"
#include "LinkMessage.h"

#include <poll.h>

#include <cstdlib>
#include <utility>

using Clock = TestClock;

CLineClient::CLineClient(const std::string& appDirectory, int port) : m_port(appDirectory) {
    (void)m_port.Open(port, 19200); // IsOpen() tells the test
}

void CLineClient::Send(std::string_view wire) {
    // Test requests are short: the port takes them whole or the test fails on the answer.
    (void)m_port.Write(wire.data(), static_cast<int>(wire.size()));
}

bool CLineClient::ReadSome(std::chrono::milliseconds timeout) {
    // The port's reads never wait; its descriptor tells when there is something to read.
    pollfd readable{m_port.NativeHandle(), POLLIN, 0};
    if (::poll(&readable, 1, static_cast<int>(timeout.count())) <= 0) {
        return false;
    }
    char buffer[512];
    const int n = m_port.Read(buffer, sizeof buffer);
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
        if (MillisecondsUntil(deadline) == 0 ||
            !ReadSome(std::chrono::milliseconds(MillisecondsUntil(deadline)))) {
            return {};
        }
    }
}

std::string CLineClient::ReadFor(std::chrono::milliseconds period) {
    const Clock::time_point deadline = Clock::now() + period;
    while (MillisecondsUntil(deadline) > 0) {
        (void)ReadSome(std::chrono::milliseconds(MillisecondsUntil(deadline)));
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
