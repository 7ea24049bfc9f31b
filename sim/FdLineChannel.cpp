#include "FdLineChannel.h"

#include <poll.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// Sleeps until a descriptor is ready or the moment has come, to the nanosecond: a paced line
// needs wake-ups well under a millisecond apart, and none before a character is due.
int PollUntil(pollfd* fds, nfds_t count, std::optional<std::chrono::steady_clock::time_point> due) {
    if (!due) {
        // Nothing is due: sleep until something arrives.
        return ::ppoll(fds, count, nullptr, nullptr);
    }
    const auto left = std::chrono::ceil<std::chrono::nanoseconds>(
        std::max(*due - std::chrono::steady_clock::now(), std::chrono::steady_clock::duration{}));
    const timespec timeout{static_cast<time_t>(left.count() / 1000000000),
                           static_cast<long>(left.count() % 1000000000)};
    return ::ppoll(fds, count, &timeout, nullptr);
}

} // namespace

LineWake CFdLineChannel::Wait(bool watchLine, std::optional<Clock::time_point> due) {
    // A negative descriptor is not watched.
    pollfd fds[3] = {
        {watchLine ? m_lineFd : -1, POLLIN, 0}, {m_stopFd, POLLIN, 0}, {m_inputFd, POLLIN, 0}};
    const nfds_t count = m_inputFd >= 0 ? 3 : 2;
    const int ready = PollUntil(fds, count, due);
    LineWake wake;
    if (ready < 0) {
        if (errno != EINTR) {
            wake.failed = true;
            wake.failure = std::string("poll failed: ") + std::strerror(errno);
        }
        return wake;
    }
    if (ready == 0) {
        return wake;
    }
    wake.stop = fds[1].revents != 0;
    if (m_inputFd >= 0 && fds[2].revents != 0) {
        char discard[256];
        const ssize_t n = ::read(m_inputFd, discard, sizeof discard);
        wake.inputEnded = n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN);
    }
    wake.lineReadable = fds[0].revents != 0;
    return wake;
}

LineRead CFdLineChannel::Read(char* buffer, std::size_t size) {
    const ssize_t n = ::read(m_lineFd, buffer, size);
    LineRead read;
    if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) {
        return read;
    }
    if (n <= 0) {
        read.outcome = LineRead::Gone;
        read.failure = n == 0 ? "the line was closed" : std::strerror(errno);
        return read;
    }
    read.outcome = LineRead::Data;
    read.size = static_cast<std::size_t>(n);
    return read;
}

bool CFdLineChannel::Write(const char* data, std::size_t size) {
    ssize_t n = 0;
    do {
        n = ::write(m_lineFd, data, size);
    } while (n < 0 && errno == EINTR);
    return n == static_cast<ssize_t>(size);
}
