#pragma once

// Where the link stands, as the window shows it: no worker, a worker opening the port, a worker
// with the port open.
enum class LinkState { Disconnected, Connecting, Connected };

// How a link ended: stopped (or the line closed by request), the port could not be used or its
// device went away, or no worker could be started.
enum class LinkEnd { Normal, PortFailure, NotStarted };
