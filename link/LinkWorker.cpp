#include "LinkWorker.h"

#include "FrameEncoder.h"
#include "FrameParser.h"
#include "LinkContext.h"
#include "SerialPort.h"

namespace {

// The worker sleeps in the wake-up's wait while the line is quiet. Stops and queued messages
// wake it at once; the limit only bounds how long a stop flag set without RequestStop goes
// unseen.
constexpr int kQuietWaitMs = 250;
// A port that keeps reporting readiness without giving data (a hung-up line) is left out of
// the wait for this long, so that it cannot make the worker spin.
constexpr int kDeadLineWaitMs = 100;

void PutLinkEvent(LinkContext& context, LinkEvent event) {
    LinkMessage message;
    message.command = event;
    PutForWindow(context, message);
}

// One pass: send at most one queued message, then read and decode at most one byte. Sending
// first means a queued message always goes out before the next byte is read.
void RunLoop(LinkContext& context, CSerialPort& port, FrameParser& parser) {
    bool readyWithoutData = false; // the last wait ended on the port, and no byte came since
    while (context.stopRequested.load() == 0) {
        bool busy = false;
        LinkMessage outgoing;
        if (TakeForDevice(context, outgoing)) {
            FrameEncoder::Send(outgoing, port); // a lost frame ends as the request's time-out
            busy = true;
        }
        unsigned char byte = 0;
        if (port.Read(&byte, 1) == 1) {
            busy = true;
            readyWithoutData = false;
            LinkMessage incoming;
            if (parser.Feed(static_cast<char>(byte)) && DecodeFrame(parser.Buffer(), incoming)) {
                PutForWindow(context, incoming);
            }
        }
        if (busy) {
            continue; // more may be queued or waiting: look again before sleeping
        }
        const CLinkWakeup::WaitResult woken =
            readyWithoutData ? context.wakeup.Wait(kNoSerialHandle, kDeadLineWaitMs)
                             : context.wakeup.Wait(port.NativeHandle(), kQuietWaitMs);
        readyWithoutData = woken == CLinkWakeup::WaitResult::PortReady;
    }
}

} // namespace

int LinkThreadProc(LinkContext* context) {
    CSerialPort port(context->appDirectory);
    port.SetCancelFlag(&context->stopRequested); // a stop never waits on a stalled line
    FrameParser parser(context->rxStore);
    context->running.store(1);
    PutLinkEvent(*context, kLinkEventOpening);

    if (!port.Open(context->port, context->baudRate)) {
        context->result.store(2);
        PutLinkEvent(*context, kLinkEventEnded);
        return 2;
    }
    PutLinkEvent(*context, kLinkEventConnected);

    RunLoop(*context, port, parser); // not a single pass when a stop came during the open

    port.Close();
    context->result.store(0);
    PutLinkEvent(*context, kLinkEventEnded);
    return 0;
}
