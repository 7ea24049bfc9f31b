#include "PortList.h"

#include "NetworkPortsFile.h"
#include "SerialPort.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr int kHighestPort = 255;

// n for a name "COM<n>" with 1 <= n <= 255 written without leading zeros, else 0.
int ComNumber(const std::string& name) {
    if (name.size() < 4 || name.size() > 6 || name.compare(0, 3, "COM") != 0 || name[3] == '0') {
        return 0;
    }
    int n = 0;
    for (std::size_t i = 3; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') {
            return 0;
        }
        n = n * 10 + (name[i] - '0');
    }
    return n <= kHighestPort ? n : 0;
}

fs::path Folder(const std::string& settingsDirectory) {
    return settingsDirectory.empty() ? fs::path(".") : fs::path(settingsDirectory);
}

// The ports.json of the folder; one that cannot be read maps nothing here (connecting says why).
std::map<int, std::string> MappedPorts(const std::string& settingsDirectory) {
    std::string directory = settingsDirectory;
    if (!directory.empty() && directory.back() != '/' && directory.back() != '\\') {
        directory += '/';
    }
    NetworkPorts mapped;
    std::string error;
    (void)LoadNetworkPorts(directory, mapped, error);
    return mapped.endpoints;
}

std::string Reached(const std::string& path) {
#if defined(_WIN32)
    return path;
#else
    return CSerialPort::ReachedDevice(path);
#endif
}

} // namespace

std::vector<PortCandidate> SettingsFolderPorts(const std::string& settingsDirectory) {
    std::vector<PortCandidate> ports;
    std::error_code error;
    fs::directory_iterator it(Folder(settingsDirectory), error);
    // A folder that cannot be read has no links to offer: the list is then the system's alone.
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        const int n = ComNumber(it->path().filename().string());
        if (n == 0) {
            continue;
        }
        PortCandidate candidate;
        candidate.port = n;
        candidate.device = it->path().string();
        candidate.reached = Reached(candidate.device);
        ports.push_back(candidate);
    }
    // A port ports.json maps is a network one, whatever link the folder has of that number.
    for (const auto& [n, url] : MappedPorts(settingsDirectory)) {
        std::erase_if(ports, [n = n](const PortCandidate& link) { return link.port == n; });
        PortCandidate candidate;
        candidate.port = n;
        candidate.device = url;
        candidate.reached = url;
        ports.push_back(candidate);
    }
    std::sort(ports.begin(), ports.end(),
              [](const PortCandidate& a, const PortCandidate& b) { return a.port < b.port; });
    return ports;
}

std::vector<PortCandidate> MergePorts(std::vector<PortCandidate> links,
                                      const std::vector<PortCandidate>& system) {
    std::vector<PortCandidate> merged = std::move(links);
    const std::size_t linkCount = merged.size();
    for (PortCandidate port : system) {
        if (port.reached.empty()) {
            port.reached = Reached(port.device);
        }
        const auto same = std::find_if(
            merged.begin(), merged.begin() + linkCount, [&](const PortCandidate& link) {
                return (port.port != 0 && link.port == port.port) ||
                       (!port.reached.empty() && link.reached == port.reached);
            });
        if (same != merged.begin() + linkCount) {
            same->maker = port.maker;
            same->product = port.product;
            same->serialNumber = port.serialNumber;
            same->dialsOut = port.dialsOut;
            continue;
        }
#if !defined(_WIN32)
        // Without a link, COM<k+1> opens /dev/ttyS<k>: that number reaches this port as it is.
        const std::string serial = "/dev/ttyS";
        if (port.port == 0 && port.device.compare(0, serial.size(), serial) == 0) {
            const int k = ComNumber("COM" + port.device.substr(serial.size()));
            const bool taken = std::any_of(merged.begin(), merged.end(),
                                           [&](const auto& other) { return other.port == k + 1; });
            if ((k > 0 || port.device == "/dev/ttyS0") && k + 1 <= kHighestPort && !taken) {
                port.port = k + 1;
            }
        }
#endif
        merged.push_back(port);
    }
    return merged;
}

int FirstFreeComNumber(const std::string& settingsDirectory) {
    const std::map<int, std::string> mapped = MappedPorts(settingsDirectory);
    for (int n = 1; n <= kHighestPort; ++n) {
        if (mapped.contains(n)) {
            continue;
        }
        std::error_code error;
        const auto status =
            fs::symlink_status(Folder(settingsDirectory) / ("COM" + std::to_string(n)), error);
        if (status.type() == fs::file_type::not_found) {
            return n;
        }
    }
    return 0;
}

std::string MakeComLink(const std::string& settingsDirectory, int port, const std::string& device) {
    std::error_code error;
    const fs::path folder = Folder(settingsDirectory);
    fs::create_directories(folder, error);
    if (!error) {
        fs::create_symlink(device, folder / ("COM" + std::to_string(port)), error);
    }
    return error ? error.message() : std::string();
}
