#pragma once

// Where the link stands, as the window shows it: no worker, a worker opening the port, a worker
// with the port open; or no worker while the link waits to try a lost line again.
enum class LinkState { Disconnected, Connecting, Connected, Reconnecting };

// How a link ended: stopped (or the line closed by request), the port could not be used or its
// device went away, or no worker could be started.
enum class LinkEnd { Normal, PortFailure, NotStarted };
