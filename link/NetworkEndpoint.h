#pragma once

#include <optional>
#include <string>
#include <string_view>

// How a network port carries the line: the bytes as they are (a device server in "TCP server"
// mode, ser2net's tcp accepter), or Telnet with the COM-PORT-CONTROL option, through which the
// line's speed and settings are set on the server.
enum class NetworkProtocol { Raw, Rfc2217 };

// Where a network port leads: "tcp://HOST:PORT" or "rfc2217://HOST:PORT"; an IPv6 address
// stands in brackets ("tcp://[::1]:4001").
struct NetworkEndpoint {
    NetworkProtocol protocol = NetworkProtocol::Raw;
    std::string host; // a name or an address, without brackets
    int port = 0;     // 1 to 65535

    // The URL again, as it is stored and shown.
    std::string Url() const;
    // "host:port" ("[::1]:4001"), as failures name the endpoint.
    std::string HostPort() const;

    bool operator==(const NetworkEndpoint&) const = default;
};

// Whether the text names a network endpoint at all (starts with one of the schemes), so that a
// malformed URL is reported as such instead of being taken for a device path.
bool LooksLikeNetworkUrl(std::string_view text);

// The endpoint a URL names; nothing, with the reason in error (when given), when it names none.
std::optional<NetworkEndpoint> ParseNetworkUrl(std::string_view url, std::string* error = nullptr);
