#include "DeviceLoop.h"

#include "DeviceCommands.h"

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

} // namespace

CDeviceLoop::CDeviceLoop(ILineChannel& line, CDeviceModel& device, const LineBehaviour& behaviour,
                         LogFn log, MemoryFn memoryChanged)
    : m_line(line), m_device(device), m_behaviour(behaviour), m_log(std::move(log)),
      m_memoryChanged(std::move(memoryChanged)), m_parser(m_rxStore),
      m_pacer(behaviour.paceBaudRate),
      // Its own stream, so that corrupting frames leaves the wind as the seed made it.
      m_corruption(behaviour.seed ^ 0x9E3779B9u) {}

void CDeviceLoop::Log(const std::string& text) const {
    if (m_log) {
        m_log(text);
    }
}

LoopEnd CDeviceLoop::Run() {
    m_nextText = Clock::now() + m_behaviour.textPeriod;
    for (;;) {
        // With the input buffer full the rest stays in the line until the simulated line has
        // delivered what it holds.
        const LineWake wake = m_line.Wait(m_received.size() < kInputCapacity, NextDue());
        if (wake.failed) {
            m_failure = wake.failure;
            return LoopEnd::LineFailed;
        }
        if (wake.stop) {
            return LoopEnd::Stopped;
        }
        if (wake.inputEnded) {
            return LoopEnd::InputEnded;
        }
        const Clock::time_point now = Clock::now();
        if (wake.lineReadable && !ReadLine(now)) {
            return LoopEnd::LineFailed;
        }
        TakeArrived(now);
        SendDue(Clock::now());
    }
}

bool CDeviceLoop::ReadLine(Clock::time_point now) {
    char buffer[256];
    const std::size_t room = std::min(sizeof buffer, kInputCapacity - m_received.size());
    const LineRead read = m_line.Read(buffer, room);
    if (read.outcome == LineRead::Gone) {
        // A pseudo-terminal's slave side is held open, so this is not the terminal going away.
        m_failure = read.failure;
        return false;
    }
    for (std::size_t i = 0; i < read.size; ++i) {
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
            if (!m_line.Write(out.frame.text + out.written, count)) {
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
