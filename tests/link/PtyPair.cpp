#include "PtyPair.h"

#include "Deadline.h"

#include <cerrno>
#include <cstdlib>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

using Clock = TestClock;

CPtyPair::CPtyPair(int port) : m_nPort(port) {
    if (OpenLine()) {
        m_strAppDirectory = m_appDirectory.Path();
    }
}

bool CPtyPair::OpenLine() {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0) {
        return false;
    }
    char name[128] = {};
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
        ::ptsname_r(master, name, sizeof name) != 0 ||
        ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK) != 0) {
        ::close(master);
        return false;
    }
    const std::string link = m_appDirectory.Join("COM" + std::to_string(m_nPort));
    (void)::unlink(link.c_str()); // the link of an earlier line, if any
    if (m_appDirectory.Path().empty() || ::symlink(name, link.c_str()) != 0) {
        ::close(master);
        return false;
    }
    m_hMaster = master;
    m_strSlavePath = name;
    return true;
}

bool CPtyPair::Replug() {
    CloseMaster();
    return OpenLine();
}

CPtyPair::~CPtyPair() {
    CloseMaster();
}

void CPtyPair::CloseMaster() {
    if (m_hMaster >= 0) {
        ::close(m_hMaster);
        m_hMaster = -1;
    }
}

bool CPtyPair::Send(std::string_view bytes) const {
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_hMaster, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        }
        if (MillisecondsUntil(deadline) == 0) {
            return false;
        }
        pollfd writable{m_hMaster, POLLOUT, 0};
        ::poll(&writable, 1, 10); // the loop rechecks; a failed poll only costs a retry
    }
    return true;
}

std::string CPtyPair::Receive(std::size_t count, std::chrono::milliseconds timeout) const {
    const auto deadline = Clock::now() + timeout;
    std::string received;
    char chunk[512];
    while (received.size() < count) {
        const ssize_t n = ::read(m_hMaster, chunk, sizeof chunk);
        if (n > 0) {
            received.append(chunk, static_cast<std::size_t>(n));
            continue;
        }
        const int left = MillisecondsUntil(deadline);
        if (left == 0) {
            break;
        }
        if (n < 0 && errno == EAGAIN) {
            pollfd readable{m_hMaster, POLLIN, 0};
            ::poll(&readable, 1, left); // the loop rechecks
        } else {
            // EIO: the terminal side is not open (yet or any more); look again shortly.
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    return received;
}

std::string CPtyPair::ReceiveFor(std::chrono::milliseconds duration) const {
    return Receive(static_cast<std::size_t>(-1), duration);
}
