#include "SimProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

void CloseFd(int& fd) {
    if (fd >= 0) {
        (void)::close(fd);
        fd = -1;
    }
}

// Close-on-exec, so that no other child inherits the test's ends of the pipes.
bool MakePipe(int fds[2]) {
    return ::pipe(fds) == 0 && ::fcntl(fds[0], F_SETFD, FD_CLOEXEC) == 0 &&
           ::fcntl(fds[1], F_SETFD, FD_CLOEXEC) == 0;
}

} // namespace

CSimProcess::CSimProcess(std::vector<std::string> args)
    : CSimProcess(QAL_SIM_PATH, std::move(args)) {}

CSimProcess::CSimProcess(std::string program, std::vector<std::string> args) {
    int input[2];
    int output[2];
    int errors[2];
    if (!MakePipe(input) || !MakePipe(output) || !MakePipe(errors)) {
        return; // the test then fails on the missing output
    }
    // These fail only when memory runs out; the spawn then fails too, which the test sees.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errors[1], STDERR_FILENO);
    std::vector<std::string> strings{program};
    strings.insert(strings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& s : strings) {
        argv.push_back(s.data());
    }
    argv.push_back(nullptr);
    if (::posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
        m_pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    (void)::close(input[0]);
    (void)::close(output[1]);
    (void)::close(errors[1]);
    m_input = input[1];
    m_output = output[0];
    m_errorOutput = errors[0];
}

CSimProcess::~CSimProcess() {
    if (m_pid > 0) {
        (void)::kill(m_pid, SIGKILL);
        (void)::waitpid(m_pid, nullptr, 0);
    }
    CloseFd(m_input);
    CloseFd(m_output);
    CloseFd(m_errorOutput);
}

void CSimProcess::Drain(int& fd, std::string& into) {
    pollfd readable{fd, POLLIN, 0};
    while (fd >= 0 && ::poll(&readable, 1, 0) > 0) {
        char buffer[512];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            CloseFd(fd);
            return;
        }
        into.append(buffer, static_cast<std::size_t>(n));
    }
}

std::string CSimProcess::FirstLine(std::chrono::milliseconds timeout) {
    return Line(0, timeout);
}

std::string CSimProcess::Line(std::size_t index, std::chrono::milliseconds timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    // Where line `index` starts and ends in what came so far; npos while it has not come whole.
    const auto find = [this, index](std::size_t& start) {
        start = 0;
        for (std::size_t i = 0; i < index; ++i) {
            const std::size_t end = m_outputText.find('\n', start);
            if (end == std::string::npos) {
                return std::string::npos;
            }
            start = end + 1;
        }
        return m_outputText.find('\n', start);
    };
    std::size_t start = 0;
    while (find(start) == std::string::npos && m_output >= 0 && Clock::now() < deadline) {
        pollfd readable{m_output, POLLIN, 0};
        (void)::poll(&readable, 1, 50);
        Drain(m_output, m_outputText);
    }
    const std::size_t end = find(start);
    return end == std::string::npos ? std::string() : m_outputText.substr(start, end - start);
}

void CSimProcess::Signal(int signal) {
    if (m_pid > 0) {
        (void)::kill(m_pid, signal);
    }
}

bool CSimProcess::WaitUntilCatching(int signal, std::chrono::milliseconds timeout) {
    const std::string status = "/proc/" + std::to_string(m_pid) + "/status";
    if (m_pid <= 0 || !std::filesystem::exists(status)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        return m_pid > 0;
    }
    const Clock::time_point deadline = Clock::now() + timeout;
    do {
        std::ifstream in(status);
        for (std::string line; std::getline(in, line);) {
            if (line.rfind("SigCgt:", 0) == 0 &&
                ((std::stoull(line.substr(7), nullptr, 16) >> (signal - 1)) & 1U) != 0) {
                return true;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    } while (Clock::now() < deadline);
    return false;
}

void CSimProcess::Pause() {
    Signal(SIGSTOP);
}

void CSimProcess::Resume() {
    Signal(SIGCONT);
}

void CSimProcess::CloseInput() {
    CloseFd(m_input);
}

bool CSimProcess::Write(const std::string& text) {
    std::size_t written = 0;
    while (m_input >= 0 && written < text.size()) {
        const ssize_t n = ::write(m_input, text.data() + written, text.size() - written);
        if (n <= 0) {
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return written == text.size();
}

int CSimProcess::Wait(std::chrono::milliseconds timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    while (m_pid > 0) {
        Drain(m_errorOutput, m_errors);
        Drain(m_output, m_outputText);
        int status = 0;
        const pid_t done = ::waitpid(m_pid, &status, WNOHANG);
        if (done == m_pid) {
            m_pid = -1;
            Drain(m_errorOutput, m_errors);
            Drain(m_output, m_outputText);
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (Clock::now() >= deadline) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
}
