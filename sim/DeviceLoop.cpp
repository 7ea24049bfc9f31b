#include "DeviceLoop.h"

#include "DeviceCommands.h"

#include <poll.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// The frame as text for the log, without its line break.
std::string Printable(const EncodedFrame& frame) {
    std::string text(frame.text, frame.size);
    const std::size_t colon = text.find(':');
    return colon == std::string::npos ? text : text.substr(colon);
}

// Value of one of the encoder's digits.
int HexValue(char c) {
    return c <= '9' ? c - '0' : c - 'A' + 10;
}

// Sleeps until a descriptor is ready or the moment has come, to the nanosecond: a paced line
// needs wake-ups well under a millisecond apart, and none before a character is due.
int PollUntil(pollfd* fds, nfds_t count, std::optional<std::chrono::steady_clock::time_point> due) {
    if (!due) {
        // Nothing is due: sleep until something arrives.
        return ::ppoll(fds, count, nullptr, nullptr);
    }
    const auto left = std::chrono::ceil<std::chrono::nanoseconds>(
        std::max(*due - std::chrono::steady_clock::now(), std::chrono::steady_clock::duration{}));
    const timespec timeout{static_cast<time_t>(left.count() / 1000000000),
                           static_cast<long>(left.count() % 1000000000)};
    return ::ppoll(fds, count, &timeout, nullptr);
}

} // namespace

CDeviceLoop::CDeviceLoop(int lineFd, CDeviceModel& device, const LineBehaviour& behaviour,
                         LogFn log, MemoryFn memoryChanged)
    : m_lineFd(lineFd), m_device(device), m_behaviour(behaviour), m_log(std::move(log)),
      m_memoryChanged(std::move(memoryChanged)), m_parser(m_rxStore),
      m_pacer(behaviour.paceBaudRate),
      // Its own stream, so that corrupting frames leaves the wind as the seed made it.
      m_corruption(behaviour.seed ^ 0x9E3779B9u) {}

void CDeviceLoop::Log(const std::string& text) const {
    if (m_log) {
        m_log(text);
    }
}

LoopEnd CDeviceLoop::Run(int stopFd, int inputFd) {
    m_nextText = Clock::now() + m_behaviour.textPeriod;
    for (;;) {
        // With the input buffer full the rest stays in the line until the simulated line has
        // delivered what it holds (a negative descriptor is not watched).
        const int lineFd = m_received.size() < kInputCapacity ? m_lineFd : -1;
        pollfd fds[3] = {{lineFd, POLLIN, 0}, {stopFd, POLLIN, 0}, {inputFd, POLLIN, 0}};
        const nfds_t count = inputFd >= 0 ? 3 : 2;
        const int ready = PollUntil(fds, count, NextDue());
        if (ready < 0 && errno != EINTR) {
            m_failure = std::string("poll failed: ") + std::strerror(errno);
            return LoopEnd::LineFailed;
        }
        if (ready > 0 && fds[1].revents != 0) {
            return LoopEnd::Stopped;
        }
        if (ready > 0 && inputFd >= 0 && fds[2].revents != 0) {
            char discard[256];
            const ssize_t n = ::read(inputFd, discard, sizeof discard);
            if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) {
                return LoopEnd::InputEnded;
            }
        }
        const Clock::time_point now = Clock::now();
        if (ready > 0 && fds[0].revents != 0 && !ReadLine(now)) {
            return LoopEnd::LineFailed;
        }
        TakeArrived(now);
        SendDue(Clock::now());
    }
}

bool CDeviceLoop::ReadLine(Clock::time_point now) {
    char buffer[256];
    const std::size_t room = std::min(sizeof buffer, kInputCapacity - m_received.size());
    const ssize_t n = ::read(m_lineFd, buffer, room);
    if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) {
        return true;
    }
    if (n <= 0) {
        // The slave side is held open, so this is not the terminal going away.
        m_failure = n == 0 ? "the line was closed" : std::strerror(errno);
        return false;
    }
    for (ssize_t i = 0; i < n; ++i) {
        m_received.push_back({buffer[i], m_pacer.Receive(now)});
    }
    return true;
}

void CDeviceLoop::TakeArrived(Clock::time_point now) {
    while (!m_received.empty() && m_received.front().arrival <= now) {
        const ReceivedCharacter received = m_received.front();
        m_received.pop_front();
        if (m_parser.Feed(received.c)) {
            OnFrame(received.arrival, now);
        }
    }
}

void CDeviceLoop::OnFrame(Clock::time_point arrival, Clock::time_point now) {
    LinkMessage request;
    if (!DecodeFrame(m_parser.Buffer(), request)) {
        return; // too short to carry an address and a command
    }
    // The device sees the request when its last character has crossed the line.
    DeviceReply reply = m_device.Handle(request, DeviceNow{WallClock::now(), arrival});
    if (m_log) {
        EncodedFrame echo;
        (void)FrameEncoder::Encode(request, echo); // a decoded request always fits
        Log("<- " + Printable(echo) + (reply.refusal.empty() ? "" : "  (" + reply.refusal + ")"));
    }
    if (reply.memoryChanged && m_memoryChanged) {
        m_memoryChanged(m_device.Memory());
    }
    if (!reply.answer || m_behaviour.silent) {
        return;
    }
    // Frames on the outgoing line count too (at most one of them a text): on a slow line,
    // answers could otherwise pile up without end.
    if (m_pending.size() + m_outgoing.size() >= kMaxPendingAnswers) {
        Log("busy: answer dropped");
        return;
    }
    PendingAnswer pending{arrival + m_behaviour.delay, {}};
    if (!FrameEncoder::Encode(*reply.answer, pending.frame)) {
        return; // answers never exceed the payload capacity
    }
    m_pending.push_back(pending);
    // Without a delay the answer goes now, before the next request in the same read is looked
    // at, so that a burst of requests never fills the queue.
    SendDue(now);
}

void CDeviceLoop::SendDue(Clock::time_point now) {
    while (!m_pending.empty() && m_pending.front().due <= now) {
        // The line starts on the answer when it was due, not when this loop got round to it:
        // a late wake-up must not stretch the line time.
        Send(m_pending.front().frame, "->", m_pending.front().due);
        m_pending.pop_front();
    }
    if (!m_behaviour.text.empty() && m_nextText <= now) {
        const bool textOnLine = std::any_of(m_outgoing.begin(), m_outgoing.end(),
                                            [](const OutgoingFrame& out) { return out.text; });
        if (textOnLine) {
            // A line too slow for the period: texts must not pile up behind each other.
            Log("busy: text skipped");
        } else {
            LinkMessage message;
            message.address = m_device.Address();
            message.command = CMD_TEXT;
            const std::size_t size =
                std::min(m_behaviour.text.size(), std::size_t{LinkMessage::kPayloadCapacity - 1});
            std::memcpy(message.payload, m_behaviour.text.data(), size);
            message.payload[size] = 0; // the text ends at a zero byte
            message.length = static_cast<std::uint8_t>(size + 1);
            EncodedFrame frame;
            if (FrameEncoder::Encode(message, frame)) {
                Send(frame, "-> text", now, true);
            }
        }
        // A late wake-up must not be made up for with a burst of texts.
        m_nextText = std::max(m_nextText + m_behaviour.textPeriod, now);
    }
    WriteDue(now);
}

void CDeviceLoop::Send(EncodedFrame frame, const char* what, Clock::time_point now, bool text) {
    // Digits after the length byte only: a broken length would swallow the next frame too.
    if (m_behaviour.corruptFraction > 0.0 && frame.size > 5 &&
        static_cast<double>(m_corruption()) / 4294967296.0 < m_behaviour.corruptFraction) {
        const std::size_t at = 5 + m_corruption() % (frame.size - 5);
        const int changed =
            (HexValue(frame.text[at]) + 1 + static_cast<int>(m_corruption() % 15)) % 16;
        frame.text[at] = kHexDigits[changed];
        Log(std::string(what) + " " + Printable(frame) + "  (corrupted)");
    } else {
        Log(std::string(what) + " " + Printable(frame));
    }
    m_outgoing.push_back({m_pacer.Transmit(now, frame.size), frame, 0, text});
}

void CDeviceLoop::WriteDue(Clock::time_point now) {
    while (!m_outgoing.empty()) {
        OutgoingFrame& out = m_outgoing.front();
        std::size_t due = out.written;
        while (due < out.frame.size && m_pacer.Sent(out.start, due) <= now) {
            ++due;
        }
        if (due > out.written) {
            const std::size_t count = due - out.written;
            ssize_t n = 0;
            do {
                n = ::write(m_lineFd, out.frame.text + out.written, count);
            } while (n < 0 && errno == EINTR);
            if (n < static_cast<ssize_t>(count)) {
                // Nobody reads the line and its buffer is full; the frame is lost like on a
                // real wire.
                Log("line full: frame dropped");
                m_outgoing.pop_front();
                continue;
            }
            out.written = due;
        }
        if (out.written < out.frame.size) {
            return; // the rest of this frame, and the frames behind it, are not due yet
        }
        m_outgoing.pop_front();
    }
}

std::optional<CDeviceLoop::Clock::time_point> CDeviceLoop::NextDue() const {
    std::optional<Clock::time_point> next;
    auto consider = [&next](Clock::time_point due) { next = next ? std::min(*next, due) : due; };
    if (!m_received.empty()) {
        consider(m_received.front().arrival);
    }
    if (!m_pending.empty()) {
        consider(m_pending.front().due);
    }
    if (!m_outgoing.empty()) {
        consider(m_pacer.Sent(m_outgoing.front().start, m_outgoing.front().written));
    }
    if (!m_behaviour.text.empty()) {
        consider(m_nextText);
    }
    return next;
}
