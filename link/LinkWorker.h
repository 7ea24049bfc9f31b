#pragma once

struct LinkContext;

// The link worker thread: owns the port for one connection. Reports opening, connected and
// ended (or opening and ended when the port cannot be opened) through the window list, sends
// what is queued for the device and hands every well-formed received message to the window.
// Returns 0 after a normal end, 2 when the port could not be opened or its device went away
// while connected (context->failure says why); the same goes to context->result before the
// ended event is put.
int LinkThreadProc(LinkContext* context);
