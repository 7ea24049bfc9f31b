#include "PseudoTerminal.h"

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>

#include <cerrno>
#include <cstring>

namespace {

std::string SystemError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

bool AddFlags(int fd, int command, int getCommand, int flags) {
    const int current = ::fcntl(fd, getCommand);
    return current >= 0 && ::fcntl(fd, command, current | flags) == 0;
}

std::string SlaveName(int master) {
#if defined(__linux__)
    char name[128];
    return ::ptsname_r(master, name, sizeof name) == 0 ? std::string(name) : std::string();
#else
    const char* name = ::ptsname(master); // called only while the simulator starts
    return name != nullptr ? std::string(name) : std::string();
#endif
}

} // namespace

std::optional<CPseudoTerminal> CPseudoTerminal::Open(std::string& error) {
    CPseudoTerminal pty;
    pty.m_master.Reset(::posix_openpt(O_RDWR | O_NOCTTY));
    if (!pty.m_master.IsOpen()) {
        error = SystemError("cannot open a pseudo-terminal");
        return std::nullopt;
    }
    const int master = pty.m_master.Get();
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        error = SystemError("cannot unlock the pseudo-terminal");
        return std::nullopt;
    }
    if (!AddFlags(master, F_SETFL, F_GETFL, O_NONBLOCK) ||
        !AddFlags(master, F_SETFD, F_GETFD, FD_CLOEXEC)) {
        error = SystemError("cannot set up the pseudo-terminal");
        return std::nullopt;
    }
    pty.m_slavePath = SlaveName(master);
    if (pty.m_slavePath.empty()) {
        error = SystemError("cannot name the pseudo-terminal");
        return std::nullopt;
    }
    pty.m_slave.Reset(::open(pty.m_slavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!pty.m_slave.IsOpen()) {
        error = SystemError(("cannot open " + pty.m_slavePath).c_str());
        return std::nullopt;
    }
    // The lock marks the line as a live simulator's: another simulator finding a link to it
    // leaves the link alone (see CPortLink). An open-file lock, apart from the flock a terminal
    // takes on the line when it connects. Without it only that check is weaker.
    struct flock mark {};
    mark.l_type = F_WRLCK;
    mark.l_whence = SEEK_SET;
    mark.l_len = 1;
    (void)::fcntl(pty.m_slave.Get(), F_OFD_SETLK, &mark);
    // Raw from the start: with echo on, every answer would come straight back to the device.
    termios settings{};
    if (::tcgetattr(pty.m_slave.Get(), &settings) != 0) {
        error = SystemError("cannot read the line settings");
        return std::nullopt;
    }
    ::cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    (void)::cfsetispeed(&settings, B19200); // a pseudo-terminal has no real speed: cosmetic
    (void)::cfsetospeed(&settings, B19200);
    if (::tcsetattr(pty.m_slave.Get(), TCSANOW, &settings) != 0) {
        error = SystemError("cannot set the line to raw mode");
        return std::nullopt;
    }
    return pty;
}
