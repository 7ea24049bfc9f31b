#include "NetworkPortsFile.h"

#include "Utf8Path.h"

#include <charconv>
#include <fstream>
#include <iterator>

namespace {

constexpr std::string_view kReconnectKey = "reconnect";
// Bigger than any mapping of 255 ports: a larger file is not ours.
constexpr std::size_t kMaxFileSize = 1 << 20;

// n of "COM<n>" (digits only; a number too big for an int counts as 0, out of range); nothing
// for any other key.
std::optional<int> PortOfKey(std::string_view key) {
    if (!key.starts_with("COM") || key.size() < 4 ||
        key.find_first_not_of("0123456789", 3) != std::string_view::npos) {
        return std::nullopt;
    }
    int port = 0;
    const auto [end, status] = std::from_chars(key.data() + 3, key.data() + key.size(), port);
    return status == std::errc() && end == key.data() + key.size() ? port : 0;
}

std::string FilePath(const std::string& settingsDirectory) {
    return settingsDirectory + kNetworkPortsFileName;
}

} // namespace

std::optional<NetworkPorts> ParseNetworkPorts(std::string_view text, std::string& error) {
    const auto members = ParseFlatJsonObject(text, error);
    if (!members) {
        return std::nullopt;
    }
    NetworkPorts ports;
    for (const FlatJsonMember& member : *members) {
        const std::optional<int> port = PortOfKey(member.key);
        if (member.key == kReconnectKey) {
            if (member.kind != FlatJsonMember::Kind::Boolean) {
                error = "\"reconnect\" must be true or false";
                return std::nullopt;
            }
            ports.reconnect = member.truth;
        } else if (port) {
            if (*port < 1 || *port > NetworkPorts::kMaxPort) {
                error = "\"" + member.key + "\": ports go from COM1 to COM255";
                return std::nullopt;
            }
            if (member.kind != FlatJsonMember::Kind::String) {
                error = "\"" + member.key + "\" must be a URL in quotes";
                return std::nullopt;
            }
            ports.endpoints[*port] = member.text;
        } else {
            ports.others.push_back(member);
        }
    }
    return ports;
}

std::string NetworkPortsText(const NetworkPorts& ports) {
    std::string text = "{\n  \"reconnect\": ";
    text += ports.reconnect ? "true" : "false";
    for (const auto& [port, url] : ports.endpoints) {
        text += ",\n  " + JsonQuoted("COM" + std::to_string(port)) + ": " + JsonQuoted(url);
    }
    for (const FlatJsonMember& member : ports.others) {
        text += ",\n  " + JsonQuoted(member.key) + ": ";
        switch (member.kind) {
        case FlatJsonMember::Kind::String:
            text += JsonQuoted(member.text);
            break;
        case FlatJsonMember::Kind::Boolean:
            text += member.truth ? "true" : "false";
            break;
        case FlatJsonMember::Kind::Other:
            text += member.text;
            break;
        }
    }
    return text + "\n}\n";
}

NetworkPortsLoad LoadNetworkPorts(const std::string& settingsDirectory, NetworkPorts& ports,
                                  std::string& error) {
    ports = NetworkPorts{};
    const std::string path = FilePath(settingsDirectory);
    std::error_code status;
    const std::filesystem::path file = PathFromUtf8(path);
    if (!std::filesystem::exists(file, status)) {
        return NetworkPortsLoad::NotFound;
    }
    if (!std::filesystem::is_regular_file(file, status) ||
        std::filesystem::file_size(file, status) > kMaxFileSize) {
        error = std::string(kNetworkPortsFileName) + ": not a settings file";
        return NetworkPortsLoad::Unusable;
    }
    std::ifstream in(file, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
        error = std::string(kNetworkPortsFileName) + ": cannot be read";
        return NetworkPortsLoad::Unusable;
    }
    std::string why;
    std::optional<NetworkPorts> parsed = ParseNetworkPorts(text, why);
    if (!parsed) {
        error = std::string(kNetworkPortsFileName) + ": " + why;
        return NetworkPortsLoad::Unusable;
    }
    ports = std::move(*parsed);
    return NetworkPortsLoad::Read;
}

FileReplaceResult SaveNetworkPorts(const std::string& settingsDirectory, const NetworkPorts& ports,
                                   std::error_code& error) {
    const std::string text = NetworkPortsText(ports);
    return ReplaceFileContent(PathFromUtf8(FilePath(settingsDirectory)), text.data(), text.size(),
                              error);
}
