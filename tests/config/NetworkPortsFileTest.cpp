#include "NetworkPortsFile.h"
#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void Write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

TEST(NetworkPortsFile, HandWrittenFilesAreReadOrRefusedWithTheReason) {
    struct Case {
        const char* name;
        std::string text;
        bool valid;
        std::map<int, std::string> endpoints;
        bool reconnect;
        const char* error;
    };
    const Case cases[] = {
        {"the example",
         R"({"COM5": "rfc2217://mast-12.example.net:4001"})",
         true,
         {{5, "rfc2217://mast-12.example.net:4001"}},
         false,
         ""},
        {"with the option and spaces",
         "\xEF\xBB\xBF{\n \"reconnect\" : true "
         ",\n\t\"COM255\":\"tcp://h:1\",\"COM1\":\"tcp://a:2\"\r\n}\n",
         true,
         {{1, "tcp://a:2"}, {255, "tcp://h:1"}},
         true,
         ""},
        {"escapes",
         R"({"COM2": "tcp:\/\/a\u002Db:4001"})",
         true,
         {{2, "tcp://a-b:4001"}},
         false,
         ""},
        {"empty object", "{}", true, {}, false, ""},
        {"other members kept aside",
         R"({"note": {"a": [1, 2.5e3, null]}, "COMMENT": "x"})",
         true,
         {},
         false,
         ""},
        {"not an object", "[]", false, {}, false, "line 1: a JSON object ({...}) was expected"},
        {"trailing comma",
         "{\"COM5\": \"tcp://a:1\",\n}",
         false,
         {},
         false,
         "line 2: a quoted key was expected"},
        {"unquoted URL",
         "{\"COM5\": tcp://a:1}",
         false,
         {},
         false,
         "line 1: the value of \"COM5\" is not valid JSON"},
        {"number for a port",
         R"({"COM5": 4001})",
         false,
         {},
         false,
         "\"COM5\" must be a URL in quotes"},
        {"COM0",
         R"({"COM0": "tcp://a:1"})",
         false,
         {},
         false,
         "\"COM0\": ports go from COM1 to COM255"},
        {"COM256",
         R"({"COM256": "tcp://a:1"})",
         false,
         {},
         false,
         "\"COM256\": ports go from COM1 to COM255"},
        {"reconnect as text",
         R"({"reconnect": "yes"})",
         false,
         {},
         false,
         "\"reconnect\" must be true or false"},
        {"something after", "{} {}", false, {}, false, "line 1: there is more after the object"},
        {"control character",
         "{\"COM5\": \"tcp://a:1\n\"}",
         false,
         {},
         false,
         "line 2: the value of \"COM5\" is not valid JSON"},
        {"lone surrogate",
         R"({"COM5": "\ud800"})",
         false,
         {},
         false,
         "line 1: the value of \"COM5\" is not valid JSON"},
        {"deep nesting",
         "{\"x\": " + std::string(100, '[') + std::string(100, ']') + "}",
         false,
         {},
         false,
         "line 1: the value of \"x\" is not valid JSON"},
    };
    for (const Case& c : cases) {
        std::string error;
        const auto ports = ParseNetworkPorts(c.text, error);
        ASSERT_EQ(ports.has_value(), c.valid) << c.name << ": " << error;
        if (!ports) {
            EXPECT_EQ(error, c.error) << c.name;
            continue;
        }
        EXPECT_EQ(ports->endpoints, c.endpoints) << c.name;
        EXPECT_EQ(ports->reconnect, c.reconnect) << c.name;
        // What it writes reads back the same.
        const auto again = ParseNetworkPorts(NetworkPortsText(*ports), error);
        ASSERT_TRUE(again) << c.name << ": " << error;
        EXPECT_EQ(*again, *ports) << c.name;
    }
}

TEST(NetworkPortsFile, SavedBesideConfigKeepingWhatItDoesNotKnow) {
    CTempDirectory folder;
    ASSERT_FALSE(folder.Path().empty());
    const std::string directory = folder.Path() + "/";
    NetworkPorts ports;
    std::string error;
    EXPECT_EQ(LoadNetworkPorts(directory, ports, error), NetworkPortsLoad::NotFound);

    Write(folder.Join("ports.json"), R"({"COM5": "tcp://a:1", "owner": {"name": "Łódź"}})");
    ASSERT_EQ(LoadNetworkPorts(directory, ports, error), NetworkPortsLoad::Read) << error;
    ports.reconnect = true;
    ports.endpoints[12] = "rfc2217://mast-12.example.net:4001";
    std::error_code status;
    ASSERT_EQ(SaveNetworkPorts(directory, ports, status), FileReplaceResult::Written);
    EXPECT_EQ(Read(folder.Join("ports.json")),
              "{\n"
              "  \"reconnect\": true,\n"
              "  \"COM5\": \"tcp://a:1\",\n"
              "  \"COM12\": \"rfc2217://mast-12.example.net:4001\",\n"
              "  \"owner\": {\"name\": \"Łódź\"}\n"
              "}\n");

    Write(folder.Join("ports.json"), "{\"COM5\": ");
    EXPECT_EQ(LoadNetworkPorts(directory, ports, error), NetworkPortsLoad::Unusable);
    EXPECT_EQ(error, "ports.json: line 1: the value of \"COM5\" is not valid JSON");
    EXPECT_TRUE(ports.endpoints.empty());

    std::filesystem::remove(folder.Join("ports.json"));
    std::filesystem::create_directory(folder.Join("ports.json"));
    EXPECT_EQ(LoadNetworkPorts(directory, ports, error), NetworkPortsLoad::Unusable);
    EXPECT_EQ(error, "ports.json: not a settings file");
}

} // namespace
