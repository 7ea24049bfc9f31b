#include "LinkWorker.h"

#include "FrameEncoder.h"
#include "FrameParser.h"
#include "LinkContext.h"
#include "SerialPort.h"
#include "WireTrace.h"

#include <memory>
#include <string>

namespace {

// The worker sleeps in the wake-up's wait while the line is quiet. Stops and queued messages
// wake it at once; the limit only bounds how long a stop flag set without RequestStop goes
// unseen.
constexpr int kQuietWaitMs = 1000;
// A port that reports readiness without giving data, and whose device has not gone (some
// drivers end a wait early), is left out of the wait for this long, so that it cannot make the
// worker spin.
constexpr int kDeadLineWaitMs = 100;

enum class LoopEnd { Stopped, LineGone };

// What one read of the port gave, handed to the parser a byte at a time: one system call for
// what has arrived instead of one per character.
struct ReceivedBytes {
    unsigned char bytes[64] = {};
    int size = 0;
    int next = 0;

    bool Empty() const { return next >= size; }
};

// The worker's side of the wire trace: what crossed the wire, what the parser made of it, and
// noise gathered into runs. Asked once a pass whether anybody listens, which is all it costs
// while nobody does.
class TraceTap {
public:
    explicit TraceTap(CWireTrace& trace) : m_trace(trace) {}

    void Received(const unsigned char* bytes, int size) {
        if (size > 0 && m_trace.Listening()) {
            FlushNoise();
            m_trace.Record(WireEvent::Received, bytes, static_cast<std::size_t>(size));
        }
    }

    // After the parser was fed one character: delivered is whether it gave a message.
    void Parsed(const FrameParser& parser, char byte, bool frameDone, bool delivered) {
        if (!m_trace.Listening()) {
            m_noiseCount = 0;
            return;
        }
        const FrameDrop drop = parser.LastDrop();
        if (drop == FrameDrop::Noise) {
            m_noise[m_noiseCount++] = static_cast<std::uint8_t>(byte);
            if (m_noiseCount == sizeof m_noise) {
                FlushNoise();
            }
            return;
        }
        if (drop != FrameDrop::None) {
            FlushNoise();
            m_trace.Record(WireEvent::Dropped, parser.Buffer(), parser.DroppedSize(), drop);
        }
        if (frameDone) {
            FlushNoise();
            const std::size_t size = static_cast<std::size_t>(parser.Buffer()[0]) + 1;
            m_trace.Record(delivered ? WireEvent::Frame : WireEvent::Dropped, parser.Buffer(), size,
                           delivered ? FrameDrop::None : FrameDrop::TooShort);
        }
    }

    // A noise run ends where the line falls quiet, or where something else happens on it.
    void FlushNoise() {
        if (m_noiseCount > 0) {
            m_trace.Record(WireEvent::Dropped, m_noise, m_noiseCount, FrameDrop::Noise);
            m_noiseCount = 0;
        }
    }

private:
    CWireTrace& m_trace;
    std::uint8_t m_noise[64] = {}; // a fixed run: gathering noise never allocates
    std::size_t m_noiseCount = 0;
};

// Encodes the message and hands the whole frame to one write of the port. written: what the port
// reports written (0 for a message the encoder refuses). False when a frame did not all go out.
bool WriteFrame(const LinkMessage& message, ILinePort& port, CWireTrace* trace, int& written) {
    written = 0;
    EncodedFrame frame;
    if (!FrameEncoder::Encode(message, frame)) {
        return true; // nothing that could be sent
    }
    if (trace != nullptr && trace->Listening()) {
        // Stamped as it starts out: an answer's delay counts from here.
        trace->Record(WireEvent::Sent, reinterpret_cast<const std::uint8_t*>(frame.text),
                      frame.size);
    }
    written = port.Write(frame.text, static_cast<int>(frame.size));
    return written == static_cast<int>(frame.size);
}

// One pass: send at most one queued message, then decode at most one received byte. Sending
// first means a queued message always goes out before the next byte is handled. Ends on a stop
// request, or when the device has gone and nothing can arrive any more.
LoopEnd RunLoop(LinkContext& context, ILinePort& port, FrameParser& parser) {
    // The port may have gone: the last wait ended on it and no byte came since, a read or a
    // write failed, or it could not be waited on. Then the line is asked, and the port is left
    // out of the next wait so that a failing one cannot make the worker spin.
    bool suspect = false;
    ReceivedBytes received;
    TraceTap tap(context.wireTrace);
    while (context.stopRequested.load() == 0) {
        bool busy = false;
        LinkMessage outgoing;
        if (TakeForDevice(context, outgoing)) {
            int written = 0;
            // A lost frame ends as its request's time-out; a failed write may mean more.
            if (!WriteFrame(outgoing, port, &context.wireTrace, written)) {
                suspect = true;
            }
            busy = true;
        }
        if (received.Empty()) {
            const int got = port.Read(received.bytes, static_cast<int>(sizeof received.bytes));
            received.size = got > 0 ? got : 0;
            received.next = 0;
            suspect = suspect || got < 0;
            tap.Received(received.bytes, received.size);
        }
        if (!received.Empty()) {
            const char byte = static_cast<char>(received.bytes[received.next++]);
            busy = true;
            suspect = false;
            LinkMessage incoming;
            const bool frameDone = parser.Feed(byte);
            const bool delivered = frameDone && DecodeFrame(parser.Buffer(), incoming);
            if (delivered) {
                PutForWindow(context, incoming);
            }
            tap.Parsed(parser, byte, frameDone, delivered);
        }
        if (busy) {
            continue; // more may be queued or waiting: look again before sleeping
        }
        tap.FlushNoise();
        // Asked only then, so a quiet line costs no extra system call.
        if (suspect && port.LineGone()) {
            return LoopEnd::LineGone;
        }
        const CLinkWakeup::WaitResult woken =
            suspect ? context.wakeup.Wait(kNoSerialHandle, kDeadLineWaitMs)
                    : context.wakeup.Wait(port.NativeHandle(), kQuietWaitMs, port.WaitKind());
        // Readiness without data is how a hang-up shows.
        suspect = woken == CLinkWakeup::WaitResult::PortReady ||
                  woken == CLinkWakeup::WaitResult::PortFailed;
    }
    return LoopEnd::Stopped;
}

// How much of a UTF-8 text fits into limit bytes without cutting a character.
std::size_t Utf8Prefix(const std::string& text, std::size_t limit) {
    if (text.size() <= limit) {
        return text.size();
    }
    std::size_t size = limit;
    while (size > 0 && (static_cast<unsigned char>(text[size]) & 0xC0) == 0x80) {
        --size; // text[size] continues a character: cut before that character
    }
    return size;
}

std::unique_ptr<ILinePort> MakeLine(const LinkContext& context) {
    if (context.makePort) {
        return context.makePort(context.appDirectory);
    }
    return std::make_unique<CSerialPort>(context.appDirectory);
}

} // namespace

int SendFrame(const LinkMessage& message, ILinePort& port, CWireTrace* trace) {
    int written = 0;
    (void)WriteFrame(message, port, trace, written); // the count says it all here
    return written;
}

int LinkThreadProc(LinkContext* context) {
    const std::unique_ptr<ILinePort> line = MakeLine(*context);
    FrameParser parser(context->rxStore);
    context->failure = PortFailure{};
    context->running.store(1);
    PutLinkEvent(*context, kLinkEventOpening);

    if (line) {
        // A stop never waits on a stalled line, nor on a network line still connecting.
        line->SetCancelFlag(&context->stopRequested);
        line->SetNoteSink([trace = &context->wireTrace](const std::string& text) {
            if (trace->Listening()) {
                trace->Record(WireEvent::Note, reinterpret_cast<const std::uint8_t*>(text.data()),
                              Utf8Prefix(text, WireRecord::kMaxBytes));
            }
        });
    }
    if (!line || !line->Open(context->port, context->baudRate)) {
        if (line) {
            context->failure = line->Failure();
        } else { // a factory that makes nothing: the port cannot be used
            context->failure.port = context->port;
            context->failure.reason = "no line for this port";
        }
        // An open given up because the user stopped it ends like any stop.
        const int result = line && context->stopRequested.load() != 0 ? 0 : 2;
        context->result.store(result);
        PutLinkEvent(*context, kLinkEventEnded);
        return result;
    }
    ILinePort& port = *line;
    PutLinkEvent(*context, kLinkEventConnected);

    // Not a single pass when a stop came during the open.
    const LoopEnd end = RunLoop(*context, port, parser);

    // A device that went away ends the link as one that could not be opened: nothing can come
    // from it, so the link must not look connected.
    const int result = end == LoopEnd::LineGone ? 2 : 0;
    if (result != 0) {
        context->failure = port.Failure();
    }
    // Before the close: a driver may keep a port held while a wait on it is pending.
    context->wakeup.EndPortWait(port.NativeHandle());
    port.Close();
    context->result.store(result);
    PutLinkEvent(*context, kLinkEventEnded);
    return result;
}
