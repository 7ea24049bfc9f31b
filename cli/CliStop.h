#pragma once

#include <chrono>

// The user's request to stop (Ctrl+C, SIGTERM, SIGHUP) as every phase of a command sees it: a
// pipe that the signal handler writes the signal's number into (see CStopSignal). -1: none (the
// system ends the program on Ctrl+C itself).
class CCliStop {
public:
    explicit CCliStop(int fd = -1) : m_fd(fd) {}

    int Fd() const { return m_fd; }
    // Whether a stop has come; takes its signal from the pipe the first time.
    bool Requested();
    // Waits at most this long for a stop; whether one came.
    bool WaitFor(std::chrono::milliseconds limit);
    // 128 + the signal that asked: the exit status of a command it ended (130 for Ctrl+C).
    int ExitStatus() const;

private:
    int m_fd;
    int m_signal = 0;
};
