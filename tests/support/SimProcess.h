#pragma once

#if !defined(_WIN32)
#include <sys/types.h>
#endif

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

// qal-sim run as its own process, its standard input a pipe held by the test (so that the
// simulator ends with the test, whatever happens), its output captured. A Windows test program
// under wine asks the host's simulator broker instead (tests/wine/sim-broker.sh, found through
// QAL_SIM_SPOOL): the simulator then runs on the host, behind the prefix's port COM<n> given by
// --port, and its standard input is not the test's.
class CSimProcess {
public:
    explicit CSimProcess(std::vector<std::string> args);
    // Another program run the same way (qal-cli).
    CSimProcess(std::string program, std::vector<std::string> args);
    ~CSimProcess(); // kills what is still running

    CSimProcess(const CSimProcess&) = delete;
    CSimProcess& operator=(const CSimProcess&) = delete;

    // The first line of standard output: the path of the line. Empty on a time-out.
    std::string FirstLine(std::chrono::milliseconds timeout = std::chrono::seconds(3));
    // Line `index` (from 0) of standard output, once it has come. Empty on a time-out. Not
    // under wine, whose broker hands over the first line only.
    std::string Line(std::size_t index, std::chrono::milliseconds timeout);

    void Signal(int signal);
    // Waits until the process has a handler of its own for the signal (Linux: from /proc), so
    // that a test knows the signal it sends next is caught; elsewhere waits a moment.
    bool WaitUntilCatching(int signal, std::chrono::milliseconds timeout);
    // The device stops answering, and goes on (the simulator is stopped and continued).
    void Pause();
    void Resume();
    void CloseInput();
    // Writes to the process's standard input; false when not all of it could be written.
    bool Write(const std::string& text);
    // The exit status, or -1 when the process has not ended within the time-out (it is then
    // killed). Standard error is collected meanwhile.
    int Wait(std::chrono::milliseconds timeout = std::chrono::seconds(3));
    const std::string& Errors() const { return m_errors; }
    // Standard output so far (all of it once Wait has seen the end).
    const std::string& Output() const { return m_outputText; }

private:
#if defined(_WIN32)
    std::string SpoolFile(const char* suffix) const;
    bool Ask(const char* suffix, const std::string& content) const;
    void ReadOutput();

    std::string m_id; // empty when there is no broker to ask
    bool m_ended = false;
#else
    void Drain(int& fd, std::string& into);

    pid_t m_pid = -1;
    int m_input = -1;
    int m_output = -1;
    int m_errorOutput = -1;
#endif
    std::string m_outputText;
    std::string m_errors;
};
