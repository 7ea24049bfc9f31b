#include "Ser2Net.h"

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    return address;
}

} // namespace

int FreeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = Loopback(0);
    socklen_t size = sizeof address;
    int port = 0;
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
        port = ntohs(address.sin_port);
    }
    if (fd >= 0) {
        ::close(fd);
    }
    return port;
}

bool LoopbackPortAccepts(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = Loopback(port);
    const bool accepted =
        fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    return accepted;
}

std::string CSer2Net::Program() {
    // A user's PATH may leave out the system folders where Debian puts it.
    std::string path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    path += ":/usr/sbin:/sbin:/usr/local/sbin";
    std::stringstream folders(path);
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        const std::string candidate = folder + "/ser2net";
        if (!folder.empty() && ::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return {};
}

CSer2Net::CSer2Net(std::string scratchDirectory, std::string device)
    : m_directory(std::move(scratchDirectory)), m_device(std::move(device)),
      m_rfc2217Port(FreeLoopbackPort()), m_rawPort(FreeLoopbackPort()) {
    // Each port was free only for a moment: the same one may come twice.
    for (int tries = 0; m_rawPort == m_rfc2217Port && tries < 10; ++tries) {
        m_rawPort = FreeLoopbackPort();
    }
}

CSer2Net::~CSer2Net() {
    Kill();
}

bool CSer2Net::Start() {
    Kill();
    const std::string config = m_directory + "/ser2net.yaml";
    // The device's own settings are the terminal's defaults; "local": a line without modem
    // signals to wait for. The RFC 2217 accepter lets the terminal set the line.
    std::ofstream(config) << "%YAML 1.1\n---\n"
                          << "connection: &rfc2217\n"
                          << "  accepter: telnet(rfc2217),tcp,127.0.0.1," << m_rfc2217Port << "\n"
                          << "  connector: serialdev," << m_device << ",19200n81,local\n"
                          << "connection: &raw\n"
                          << "  accepter: tcp,127.0.0.1," << m_rawPort << "\n"
                          << "  connector: serialdev," << m_device << ",19200n81,local\n";
    // -n: in the foreground, ended with the test; -u: no lock files outside the scratch folder.
    m_process = std::make_unique<CSimProcess>(
        Program(),
        std::vector<std::string>{"-n", "-u", "-c", config, "-P", m_directory + "/ser2net.pid"});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
        if (LoopbackPortAccepts(m_rfc2217Port) && LoopbackPortAccepts(m_rawPort)) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

void CSer2Net::Kill() {
    if (m_process) {
        m_process->Signal(SIGKILL);
        (void)m_process->Wait();
        m_process.reset();
    }
}

std::string CSer2Net::Errors() const {
    return m_process ? m_process->Errors() : std::string("not started");
}
