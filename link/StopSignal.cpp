#include "StopSignal.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

namespace {

// A signal handler can reach nothing but globals, so the pipe's write end is kept here; it is
// set before the handlers are installed and cleared after they are removed.
volatile std::sig_atomic_t g_stopWriteFd = -1;

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

extern "C" void OnStopSignal(int signal) {
    const int savedErrno = errno;
    const char byte = static_cast<char>(signal); // which one: a program may end with 128 + it
    // A full pipe already holds a stop; nothing else can be done inside a handler anyway.
    (void)!::write(g_stopWriteFd, &byte, 1);
    errno = savedErrno;
}

} // namespace

bool CStopSignal::Install(std::string& error) {
    int fds[2];
    if (::pipe(fds) != 0) {
        error = std::string("cannot create a pipe: ") + std::strerror(errno);
        return false;
    }
    m_read.Reset(fds[0]);
    m_write.Reset(fds[1]);
    for (int fd : fds) {
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0 ||
            ::fcntl(fd, F_SETFD, FD_CLOEXEC) != 0) {
            error = std::string("cannot set up the stop pipe: ") + std::strerror(errno);
            return false;
        }
    }
    g_stopWriteFd = m_write.Get();
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        struct sigaction action {};
        action.sa_handler = kSignals[i] == SIGPIPE ? SIG_IGN : OnStopSignal;
        ::sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        if (::sigaction(kSignals[i], &action, &m_previous[i]) != 0) {
            error = std::string("cannot install a signal handler: ") + std::strerror(errno);
            return false; // the destructor restores the ones already installed
        }
        m_installedCount = i + 1;
    }
    return true;
}

CStopSignal::~CStopSignal() {
    for (std::size_t i = 0; i < m_installedCount; ++i) {
        // Restoring cannot fail for a signal whose handler could be installed.
        (void)::sigaction(kSignals[i], &m_previous[i], nullptr);
    }
    g_stopWriteFd = -1;
}
