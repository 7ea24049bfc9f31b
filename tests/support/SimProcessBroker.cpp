// The Windows side of CSimProcess: a test program under wine asks the host's simulator broker
// (tests/wine/sim-broker.sh) through files in the folder QAL_SIM_SPOOL names.
#include "SimProcess.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

std::string ReadWhole(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// Whole or not at all: the broker must never read half a request.
bool WriteWhole(const std::string& path, const std::string& content) {
    const std::string part = path + ".part";
    {
        std::ofstream file(part, std::ios::binary | std::ios::trunc);
        file << content;
        if (!file.flush()) {
            return false;
        }
    }
    return MoveFileExA(part.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

} // namespace

CSimProcess::CSimProcess(std::vector<std::string> args) : CSimProcess("qal-sim", std::move(args)) {}

CSimProcess::CSimProcess(std::string program, std::vector<std::string> args) {
    const char* spool = std::getenv("QAL_SIM_SPOOL");
    if (program != "qal-sim" || spool == nullptr || *spool == '\0') {
        m_errors = "no simulator broker: run the test under tests/wine/with-sim-broker.sh";
        return;
    }
    std::ostringstream id;
    id << GetCurrentProcessId() << '-' << reinterpret_cast<std::uintptr_t>(this) << '-'
       << Clock::now().time_since_epoch().count();
    m_id = std::string(spool) + "\\" + id.str();
    std::string lines;
    for (const std::string& arg : args) {
        lines += arg + "\n";
    }
    if (!Ask(".args", lines)) {
        m_errors = "cannot write to the simulator broker's folder " + std::string(spool);
        m_id.clear();
    }
}

CSimProcess::~CSimProcess() {
    if (m_id.empty() || m_ended) {
        return;
    }
    // Waits for the end, so that the port is free again for the next simulator.
    (void)Ask(".kill", "");
    (void)Wait(std::chrono::seconds(5));
}

std::string CSimProcess::SpoolFile(const char* suffix) const {
    return m_id + suffix;
}

bool CSimProcess::Ask(const char* suffix, const std::string& content) const {
    return !m_id.empty() && WriteWhole(SpoolFile(suffix), content);
}

void CSimProcess::ReadOutput() {
    if (!m_id.empty()) {
        m_outputText = ReadWhole(SpoolFile(".out"));
        m_errors = ReadWhole(SpoolFile(".err"));
    }
}

std::string CSimProcess::FirstLine(std::chrono::milliseconds timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    while (!m_id.empty()) {
        // The broker writes the line once the prefix's port leads to it.
        const std::string line = ReadWhole(SpoolFile(".line"));
        const std::size_t end = line.find('\n');
        if (end != std::string::npos) {
            ReadOutput();
            return line.substr(0, end);
        }
        if (Clock::now() >= deadline) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ReadOutput();
    return {};
}

void CSimProcess::Signal(int signal) {
    (void)Ask(".signal", std::to_string(signal)); // the host's numbers for TERM and INT agree
}

// The host's numbers: Windows has no such signals.
void CSimProcess::Pause() {
    (void)Ask(".signal", "STOP");
}

void CSimProcess::Resume() {
    (void)Ask(".signal", "CONT");
}

void CSimProcess::CloseInput() {}

bool CSimProcess::Write(const std::string&) {
    return false; // the broker's simulators read no input
}

int CSimProcess::Wait(std::chrono::milliseconds timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    while (!m_id.empty()) {
        const std::string status = ReadWhole(SpoolFile(".status"));
        if (!status.empty()) {
            ReadOutput();
            m_ended = true;
            return std::atoi(status.c_str());
        }
        if (Clock::now() >= deadline) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ReadOutput();
    return -1;
}
