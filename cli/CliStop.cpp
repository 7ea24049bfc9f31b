#include "CliStop.h"

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#endif

bool CCliStop::Requested() {
    return WaitFor(std::chrono::milliseconds(0));
}

bool CCliStop::WaitFor(std::chrono::milliseconds limit) {
#if defined(_WIN32)
    if (m_signal == 0 && m_event != nullptr &&
        WaitForSingleObject(m_event, static_cast<DWORD>(limit.count())) == WAIT_OBJECT_0) {
        m_signal = 2; // as SIGINT: the event stays set
    }
    return m_signal != 0;
#else
    if (m_signal != 0 || m_fd < 0) {
        return m_signal != 0;
    }
    pollfd readable{m_fd, POLLIN, 0};
    if (::poll(&readable, 1, static_cast<int>(limit.count())) <= 0) {
        return false; // a wait cut short by a signal is seen at the next look
    }
    unsigned char signal = 0;
    if (::read(m_fd, &signal, 1) != 1) {
        return false;
    }
    m_signal = signal != 0 ? signal : SIGINT;
    return true;
#endif
}

int CCliStop::ExitStatus() const {
#if defined(_WIN32)
    return 130;
#else
    return 128 + (m_signal != 0 ? m_signal : SIGINT);
#endif
}
