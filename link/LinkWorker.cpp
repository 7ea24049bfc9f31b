#include "LinkWorker.h"

#include "FrameEncoder.h"
#include "FrameParser.h"
#include "LinkContext.h"
#include "SerialPort.h"

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

void PutLinkEvent(LinkContext& context, LinkEvent event) {
    LinkMessage message;
    message.command = event;
    PutForWindow(context, message);
}

// What one read of the port gave, handed to the parser a byte at a time: one system call for
// what has arrived instead of one per character.
struct ReceivedBytes {
    unsigned char bytes[64] = {};
    int size = 0;
    int next = 0;

    bool Empty() const { return next >= size; }
};

// One pass: send at most one queued message, then decode at most one received byte. Sending
// first means a queued message always goes out before the next byte is handled. Ends on a stop
// request, or when the device has gone and nothing can arrive any more.
LoopEnd RunLoop(LinkContext& context, CSerialPort& port, FrameParser& parser) {
    bool readyWithoutData = false; // the last wait ended on the port, and no byte came since
    ReceivedBytes received;
    while (context.stopRequested.load() == 0) {
        bool busy = false;
        LinkMessage outgoing;
        if (TakeForDevice(context, outgoing)) {
            FrameEncoder::Send(outgoing, port); // a lost frame ends as the request's time-out
            busy = true;
        }
        if (received.Empty()) {
            received.size = port.Read(received.bytes, static_cast<int>(sizeof received.bytes));
            received.next = 0;
        }
        if (!received.Empty()) {
            const char byte = static_cast<char>(received.bytes[received.next++]);
            busy = true;
            readyWithoutData = false;
            LinkMessage incoming;
            if (parser.Feed(byte) && DecodeFrame(parser.Buffer(), incoming)) {
                PutForWindow(context, incoming);
            }
        }
        if (busy) {
            continue; // more may be queued or waiting: look again before sleeping
        }
        // Readiness without data is how a hang-up shows; asked only then, so a quiet line costs
        // no extra system call.
        if (readyWithoutData && port.LineGone()) {
            return LoopEnd::LineGone;
        }
        const CLinkWakeup::WaitResult woken =
            readyWithoutData ? context.wakeup.Wait(kNoSerialHandle, kDeadLineWaitMs)
                             : context.wakeup.Wait(port.NativeHandle(), kQuietWaitMs);
        readyWithoutData = woken == CLinkWakeup::WaitResult::PortReady;
    }
    return LoopEnd::Stopped;
}

} // namespace

int LinkThreadProc(LinkContext* context) {
    CSerialPort port(context->appDirectory);
    port.SetCancelFlag(&context->stopRequested); // a stop never waits on a stalled line
    FrameParser parser(context->rxStore);
    context->failure = PortFailure{};
    context->running.store(1);
    PutLinkEvent(*context, kLinkEventOpening);

    if (!port.Open(context->port, context->baudRate)) {
        context->failure = port.Failure();
        context->result.store(2);
        PutLinkEvent(*context, kLinkEventEnded);
        return 2;
    }
    PutLinkEvent(*context, kLinkEventConnected);

    // Not a single pass when a stop came during the open.
    const LoopEnd end = RunLoop(*context, port, parser);

    // A device that went away ends the link as one that could not be opened: nothing can come
    // from it, so the link must not look connected.
    const int result = end == LoopEnd::LineGone ? 2 : 0;
    if (result != 0) {
        context->failure = port.Failure();
    }
    port.Close();
    context->result.store(result);
    PutLinkEvent(*context, kLinkEventEnded);
    return result;
}
