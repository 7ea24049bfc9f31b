#pragma once

#include <chrono>

// The user's request to stop as every phase of a command sees it: on POSIX (Ctrl+C, SIGTERM,
// SIGHUP) a pipe that the signal handler writes the signal's number into (see CStopSignal), on
// Windows (Ctrl+C, a closing console) an event that the console handler sets (see
// CConsoleInterrupt). -1 and null: none.
class CCliStop {
public:
    explicit CCliStop(int fd = -1, void* event = nullptr) : m_fd(fd), m_event(event) {}

    int Fd() const { return m_fd; }
    void* Event() const { return m_event; }
    // Whether a stop has come; takes its signal from the pipe the first time.
    bool Requested();
    // Waits at most this long for a stop; whether one came.
    bool WaitFor(std::chrono::milliseconds limit);
    // 128 + the signal that asked: the exit status of a command it ended (130 for Ctrl+C, and
    // on Windows always).
    int ExitStatus() const;

private:
    int m_fd;
    void* m_event;
    int m_signal = 0;
};
