#pragma once

#include "SimProcess.h"

#include <memory>
#include <string>

// ser2net (Debian's serial-to-network server) run by a test in front of a device path: one
// accepter with Telnet and RFC 2217, one plain TCP accepter, each on a free port of 127.0.0.1,
// its configuration in the test's own folder. Not installed: Program() is empty, and the test
// is skipped with that reason.
class CSer2Net {
public:
    // Where ser2net is installed; empty when it is not.
    static std::string Program();

    CSer2Net(std::string scratchDirectory, std::string device);
    ~CSer2Net(); // kills what still runs

    CSer2Net(const CSer2Net&) = delete;
    CSer2Net& operator=(const CSer2Net&) = delete;

    // Starts it and waits until both accepters take connections; false (Errors() says why)
    // when they do not within a few seconds. Starting again after a stop keeps the ports.
    bool Start();
    // Ends it at once (SIGKILL), as a server that dies; its connections close.
    void Kill();
    std::string Errors() const;

    int Rfc2217Port() const { return m_rfc2217Port; }
    int RawPort() const { return m_rawPort; }
    std::string Rfc2217Url() const {
        return "rfc2217://127.0.0.1:" + std::to_string(m_rfc2217Port);
    }
    std::string RawUrl() const { return "tcp://127.0.0.1:" + std::to_string(m_rawPort); }

private:
    std::string m_directory;
    std::string m_device;
    int m_rfc2217Port = 0;
    int m_rawPort = 0;
    std::unique_ptr<CSimProcess> m_process;
};

// A port of 127.0.0.1 that was free a moment ago.
int FreeLoopbackPort();
// Whether something on 127.0.0.1 takes connections on this port.
bool LoopbackPortAccepts(int port);
