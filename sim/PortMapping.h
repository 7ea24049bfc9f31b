#pragma once

#include <optional>
#include <string>

// The entry COM<port> -> the simulator's URL in <directory>/ports.json, by which a terminal
// started from that directory reaches the simulator behind port <port>. Removed again when the
// object goes, unless someone has changed it meanwhile; a ports.json made for it alone goes too.
class CPortMapping {
public:
    // Replaces only an entry another simulator left (a tcp:// URL on this machine's loopback).
    // Anything else may be a user's mapping of a real device server and is refused.
    static std::optional<CPortMapping> Create(const std::string& directory, int port,
                                              const std::string& url, std::string& error);

    ~CPortMapping();
    CPortMapping(CPortMapping&& other) noexcept;
    CPortMapping& operator=(CPortMapping&& other) noexcept;
    CPortMapping(const CPortMapping&) = delete;
    CPortMapping& operator=(const CPortMapping&) = delete;

    // <directory>/ports.json
    std::string Path() const;
    // The URL of the entry this one replaced; empty when there was none.
    const std::string& Replaced() const { return m_replaced; }

private:
    CPortMapping(std::string directory, int port, std::string url, bool madeFile);
    void Remove();

    std::string m_directory; // with a separator at the end; empty once moved from
    int m_port;
    std::string m_url;
    bool m_bMadeFile;
    std::string m_replaced;
};
