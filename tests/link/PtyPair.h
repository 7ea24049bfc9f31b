#pragma once

#include "TempDirectory.h"

#include <chrono>
#include <string>
#include <string_view>

// A pseudo-terminal whose slave side stands behind port COM<n> of a temporary application
// directory (as a symbolic link), so that CSerialPort finds it. The test plays the device on the
// master side. Everything is removed again by the destructor.
class CPtyPair {
public:
    explicit CPtyPair(int port = 7);
    ~CPtyPair();

    CPtyPair(const CPtyPair&) = delete;
    CPtyPair& operator=(const CPtyPair&) = delete;

    bool Ok() const { return m_hMaster >= 0 && !m_strAppDirectory.empty(); }
    int Port() const { return m_nPort; }
    const std::string& AppDirectory() const { return m_strAppDirectory; }
    const std::string& SlavePath() const { return m_strSlavePath; }
    int Master() const { return m_hMaster; }

    // Writes every byte to the line (the device sending).
    bool Send(std::string_view bytes) const;
    // Collects what the terminal sent until count bytes arrived or the timeout passed.
    std::string Receive(std::size_t count, std::chrono::milliseconds timeout) const;
    // Collects everything that arrives within the given time.
    std::string ReceiveFor(std::chrono::milliseconds duration) const;
    // Hangs up the line.
    void CloseMaster();
    // A new pseudo-terminal behind the same COM<n> link, as an adapter plugged in again; the
    // old one is hung up. False when none could be had.
    bool Replug();

private:
    bool OpenLine();

    int m_nPort;
    int m_hMaster = -1;
    CTempDirectory m_appDirectory{"qal-link-pty"};
    std::string m_strAppDirectory;
    std::string m_strSlavePath;
};
