#pragma once

class ILinePort;
class CWireTrace;
struct LinkContext;
struct LinkMessage;

// The link worker thread: owns the port for one connection. Reports opening, connected and
// ended (or opening and ended when the port cannot be opened) through the window list, sends
// what is queued for the device and hands every well-formed received message to the window.
// Returns 0 after a normal end, 2 when the port could not be opened or its device went away
// while connected (context->failure says why); the same goes to context->result before the
// ended event is put.
int LinkThreadProc(LinkContext* context);

// Encodes the message and hands the whole frame to one write of the port. Returns what the port
// reports written (0 for a message the encoder refuses); the worker need not look at it, since a
// lost frame ends as the request's time-out. A trace that is listened to gets the frame too.
int SendFrame(const LinkMessage& message, ILinePort& port, CWireTrace* trace = nullptr);
