#pragma once

#include "FileReplace.h"
#include "FlatJson.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

// ports.json in the settings folder, beside config.cfg (whose 12 bytes never change): which
// port numbers lead to network endpoints, and whether a link lost while connected is tried
// again. A flat JSON object, written to be read and edited by hand:
//     {
//       "reconnect": false,
//       "COM5": "rfc2217://mast-12.example.net:4001"
//     }
// Members this program does not know are kept as they were when it writes the file.
inline constexpr const char* kNetworkPortsFileName = "ports.json";

struct NetworkPorts {
    static constexpr int kMaxPort = 255;

    std::map<int, std::string> endpoints; // COM number -> URL, as written
    bool reconnect = false;               // "Łącz ponownie automatycznie"
    std::vector<FlatJsonMember> others;   // members kept for their owner

    bool operator==(const NetworkPorts&) const = default;
};

// The text of the file; nothing, with the reason, when it is not such an object (a COM key whose
// value is no string, a port number out of range, "reconnect" that is no truth value).
std::optional<NetworkPorts> ParseNetworkPorts(std::string_view text, std::string& error);
// The file's text: "reconnect" first, then the ports by number, then the members kept.
std::string NetworkPortsText(const NetworkPorts& ports);

enum class NetworkPortsLoad { Read, NotFound, Unusable };
// Reads <settingsDirectory>/ports.json (the folder ends in a separator or is empty). NotFound
// leaves ports empty; Unusable says why in error ("ports.json: line 3: ...").
NetworkPortsLoad LoadNetworkPorts(const std::string& settingsDirectory, NetworkPorts& ports,
                                  std::string& error);
// Replaces the file as a whole (see ReplaceFileContent).
FileReplaceResult SaveNetworkPorts(const std::string& settingsDirectory, const NetworkPorts& ports,
                                   std::error_code& error);
