#include "PortMapping.h"

#include "NetworkPortsFile.h"

#include <filesystem>
#include <utility>

namespace {

bool IsLoopbackUrl(const std::string& url) {
    for (const char* prefix : {"tcp://127.", "tcp://[::1]:", "tcp://localhost:"}) {
        if (url.starts_with(prefix)) {
            return true;
        }
    }
    return false;
}

std::string WithSeparator(std::string directory) {
    if (!directory.empty() && directory.back() != '/') {
        directory += '/';
    }
    return directory;
}

} // namespace

CPortMapping::CPortMapping(std::string directory, int port, std::string url, bool madeFile)
    : m_directory(std::move(directory)), m_port(port), m_url(std::move(url)),
      m_bMadeFile(madeFile) {}

CPortMapping::CPortMapping(CPortMapping&& other) noexcept
    : m_directory(std::exchange(other.m_directory, {})), m_port(other.m_port),
      m_url(std::move(other.m_url)), m_bMadeFile(other.m_bMadeFile),
      m_replaced(std::move(other.m_replaced)) {}

CPortMapping& CPortMapping::operator=(CPortMapping&& other) noexcept {
    if (this != &other) {
        Remove();
        m_directory = std::exchange(other.m_directory, {});
        m_port = other.m_port;
        m_url = std::move(other.m_url);
        m_bMadeFile = other.m_bMadeFile;
        m_replaced = std::move(other.m_replaced);
    }
    return *this;
}

CPortMapping::~CPortMapping() {
    Remove();
}

std::string CPortMapping::Path() const {
    return m_directory + kNetworkPortsFileName;
}

std::optional<CPortMapping> CPortMapping::Create(const std::string& directory, int port,
                                                 const std::string& url, std::string& error) {
    std::error_code status;
    if (!std::filesystem::is_directory(directory, status)) {
        error = "no such directory: " + directory;
        return std::nullopt;
    }
    const std::string folder = WithSeparator(directory);
    NetworkPorts ports;
    std::string why;
    const NetworkPortsLoad loaded = LoadNetworkPorts(folder, ports, why);
    if (loaded == NetworkPortsLoad::Unusable) {
        error = folder + why + "; mend it or use another --link";
        return std::nullopt;
    }
    std::string replaced;
    if (const auto entry = ports.endpoints.find(port); entry != ports.endpoints.end()) {
        if (!IsLoopbackUrl(entry->second)) {
            error = folder + kNetworkPortsFileName + " already maps COM" + std::to_string(port) +
                    " to " + entry->second + "; remove it or choose another --port";
            return std::nullopt;
        }
        replaced = entry->second;
    }
    ports.endpoints[port] = url;
    if (SaveNetworkPorts(folder, ports, status) != FileReplaceResult::Written) {
        error = "cannot write " + folder + kNetworkPortsFileName + ": " + status.message();
        return std::nullopt;
    }
    CPortMapping mapping(folder, port, url, loaded == NetworkPortsLoad::NotFound);
    mapping.m_replaced = replaced;
    return mapping;
}

void CPortMapping::Remove() {
    if (m_directory.empty()) {
        return;
    }
    const std::string directory = std::exchange(m_directory, {});
    NetworkPorts ports;
    std::string why;
    if (LoadNetworkPorts(directory, ports, why) != NetworkPortsLoad::Read) {
        return; // gone or broken since: nothing of ours to take out
    }
    const auto entry = ports.endpoints.find(m_port);
    if (entry == ports.endpoints.end() || entry->second != m_url) {
        return; // another simulator has taken the port over
    }
    ports.endpoints.erase(entry);
    std::error_code status;
    if (m_bMadeFile && ports == NetworkPorts{}) {
        (void)std::filesystem::remove(directory + kNetworkPortsFileName, status);
        return; // at worst the file stays with no port in it
    }
    // At worst the entry stays, and the next simulator on this port replaces it.
    (void)SaveNetworkPorts(directory, ports, status);
}
