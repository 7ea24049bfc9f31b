#include "NetworkEndpoint.h"

#include <charconv>

namespace {

constexpr std::string_view kRawScheme = "tcp://";
constexpr std::string_view kRfc2217Scheme = "rfc2217://";

bool Fail(std::string* error, std::string text) {
    if (error != nullptr) {
        *error = std::move(text);
    }
    return false;
}

// Letters, digits, '-', '.', and '_' (some local names have it): nothing that could carry a
// path, a user name or a second port.
bool IsHostName(std::string_view host) {
    if (host.empty() || host.size() > 253) {
        return false;
    }
    for (const char c : host) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_';
        if (!ok) {
            return false;
        }
    }
    return true;
}

bool IsIpv6Text(std::string_view host) {
    if (host.empty() || host.find(':') == std::string_view::npos) {
        return false;
    }
    for (const char c : host) {
        const bool ok = (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') ||
                        (c >= '0' && c <= '9') || c == ':' || c == '.';
        if (!ok) {
            return false;
        }
    }
    return true;
}

} // namespace

std::string NetworkEndpoint::Url() const {
    return std::string(protocol == NetworkProtocol::Rfc2217 ? kRfc2217Scheme : kRawScheme) +
           HostPort();
}

std::string NetworkEndpoint::HostPort() const {
    const bool bracketed = host.find(':') != std::string::npos;
    return (bracketed ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

bool LooksLikeNetworkUrl(std::string_view text) {
    return text.starts_with(kRawScheme) || text.starts_with(kRfc2217Scheme);
}

std::optional<NetworkEndpoint> ParseNetworkUrl(std::string_view url, std::string* error) {
    NetworkEndpoint endpoint;
    std::string_view rest;
    if (url.starts_with(kRfc2217Scheme)) {
        endpoint.protocol = NetworkProtocol::Rfc2217;
        rest = url.substr(kRfc2217Scheme.size());
    } else if (url.starts_with(kRawScheme)) {
        endpoint.protocol = NetworkProtocol::Raw;
        rest = url.substr(kRawScheme.size());
    } else {
        Fail(error,
             "not a network port (rfc2217://HOST:PORT or tcp://HOST:PORT): " + std::string(url));
        return std::nullopt;
    }
    if (!rest.empty() && rest.back() == '/') {
        rest.remove_suffix(1); // as a browser would write it
    }
    std::string_view host;
    std::string_view port;
    if (rest.starts_with('[')) {
        const std::size_t close = rest.find(']');
        if (close == std::string_view::npos || rest.substr(close + 1, 1) != ":") {
            Fail(error, "an IPv6 address needs its port after the bracket: " + std::string(url));
            return std::nullopt;
        }
        host = rest.substr(1, close - 1);
        port = rest.substr(close + 2);
        if (!IsIpv6Text(host)) {
            Fail(error, "not an IPv6 address: " + std::string(host));
            return std::nullopt;
        }
    } else {
        const std::size_t colon = rest.rfind(':');
        if (colon == std::string_view::npos) {
            Fail(error, "the port number is missing (HOST:PORT): " + std::string(url));
            return std::nullopt;
        }
        host = rest.substr(0, colon);
        port = rest.substr(colon + 1);
        if (!IsHostName(host)) {
            Fail(error, "not a host name or address: \"" + std::string(host) + "\"");
            return std::nullopt;
        }
    }
    int number = 0;
    const auto [end, status] = std::from_chars(port.data(), port.data() + port.size(), number);
    if (port.empty() || status != std::errc() || end != port.data() + port.size() || number < 1 ||
        number > 65535) {
        Fail(error, "the port must be a number from 1 to 65535, not \"" + std::string(port) + "\"");
        return std::nullopt;
    }
    endpoint.host = std::string(host);
    endpoint.port = number;
    return endpoint;
}
