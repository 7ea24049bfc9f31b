#include "LinkWakeup.h"

#include <cerrno>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

bool MakeNonBlockingCloseOnExec(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0 &&
           ::fcntl(fd, F_SETFD, FD_CLOEXEC) == 0;
}

} // namespace

CLinkWakeup::CLinkWakeup() {
    int fds[2] = {-1, -1};
    if (::pipe(fds) != 0) {
        return; // no descriptors left: Wait falls back to short timed waits
    }
    if (!MakeNonBlockingCloseOnExec(fds[0]) || !MakeNonBlockingCloseOnExec(fds[1])) {
        ::close(fds[0]);
        ::close(fds[1]);
        return;
    }
    m_hRead = fds[0];
    m_hWrite = fds[1];
}

CLinkWakeup::~CLinkWakeup() {
    if (m_hRead >= 0) {
        ::close(m_hRead);
        ::close(m_hWrite);
    }
}

void CLinkWakeup::Signal() {
    if (m_hWrite < 0) {
        return;
    }
    const char byte = 1;
    ssize_t n = 0;
    do {
        n = ::write(m_hWrite, &byte, 1);
    } while (n < 0 && errno == EINTR);
    // EAGAIN means the pipe is full of earlier signals: the worker will wake anyway.
}

CLinkWakeup::WaitResult CLinkWakeup::Wait(SerialHandle port, int timeoutMs, LineWaitKind kind) {
    (void)kind; // a socket is polled like a terminal
    if (m_hRead < 0) {
        // Without a wake-up pipe, keep the wait short so that queued messages and stop
        // requests are still seen promptly.
        timeoutMs = timeoutMs < 1 ? timeoutMs : 1;
    }
    pollfd fds[2] = {{m_hRead, POLLIN, 0}, {port, POLLIN, 0}};
    // A negative descriptor is skipped by poll.
    const int ready = ::poll(fds, 2, timeoutMs);
    if (ready <= 0) {
        return WaitResult::TimedOut; // also EINTR: the caller's loop simply looks again
    }
    if ((fds[0].revents & POLLIN) != 0) {
        char sink[64];
        while (::read(m_hRead, sink, sizeof sink) > 0) {
        }
    }
    if (fds[1].revents != 0) {
        return WaitResult::PortReady;
    }
    return WaitResult::Signalled;
}

void CLinkWakeup::EndPortWait(SerialHandle port) {
    (void)port; // poll's wait ends with the call
}
