#include "NetworkEndpoint.h"

#include <gtest/gtest.h>

namespace {

TEST(NetworkEndpoint, UrlsAreReadAndWrittenBack) {
    struct Case {
        const char* url;
        bool valid;
        NetworkProtocol protocol;
        const char* host;
        int port;
        const char* written; // Url() of what was read
    };
    const Case cases[] = {
        {"rfc2217://mast-12.example.net:4001", true, NetworkProtocol::Rfc2217,
         "mast-12.example.net", 4001, "rfc2217://mast-12.example.net:4001"},
        {"tcp://192.168.1.20:4001", true, NetworkProtocol::Raw, "192.168.1.20", 4001,
         "tcp://192.168.1.20:4001"},
        {"tcp://[::1]:7000", true, NetworkProtocol::Raw, "::1", 7000, "tcp://[::1]:7000"},
        {"tcp://127.0.0.1:4001/", true, NetworkProtocol::Raw, "127.0.0.1", 4001,
         "tcp://127.0.0.1:4001"},
        {"tcp://host:65535", true, NetworkProtocol::Raw, "host", 65535, "tcp://host:65535"},
        {"tcp://host", false, {}, "", 0, ""},
        {"tcp://host:0", false, {}, "", 0, ""},
        {"tcp://host:65536", false, {}, "", 0, ""},
        {"tcp://host:40x", false, {}, "", 0, ""},
        {"tcp://:4001", false, {}, "", 0, ""},
        {"tcp://user@host:4001", false, {}, "", 0, ""},
        {"tcp://host:4001/path", false, {}, "", 0, ""},
        {"tcp://[::1:4001", false, {}, "", 0, ""},
        {"tcp://[zz]:4001", false, {}, "", 0, ""},
        {"telnet://host:23", false, {}, "", 0, ""},
        {"/dev/ttyUSB0", false, {}, "", 0, ""},
    };
    for (const Case& c : cases) {
        std::string error;
        const auto endpoint = ParseNetworkUrl(c.url, &error);
        ASSERT_EQ(endpoint.has_value(), c.valid) << c.url << ": " << error;
        if (!endpoint) {
            EXPECT_FALSE(error.empty()) << c.url;
            continue;
        }
        EXPECT_EQ(endpoint->protocol, c.protocol) << c.url;
        EXPECT_EQ(endpoint->host, c.host) << c.url;
        EXPECT_EQ(endpoint->port, c.port) << c.url;
        EXPECT_EQ(endpoint->Url(), c.written) << c.url;
    }
    EXPECT_TRUE(LooksLikeNetworkUrl("tcp://x"));
    EXPECT_TRUE(LooksLikeNetworkUrl("rfc2217://"));
    EXPECT_FALSE(LooksLikeNetworkUrl("/dev/ttyS0"));
}

} // namespace
