#pragma once

#include <optional>
#include <string>

// The link <directory>/COM<port> -> the simulator's line, by which a terminal started from that
// directory finds the device behind port <port>. Removed again when the object goes, unless
// someone has replaced it meanwhile.
class CPortLink {
public:
    // Replaces only a link left behind by a simulator that was killed: one that dangles, or
    // that leads to a pseudo-terminal no live simulator holds (its number taken by another
    // program since). Anything else may be a user's mapping of a real adapter and is refused.
    static std::optional<CPortLink> Create(const std::string& directory, int port,
                                           const std::string& target, std::string& error);

    static std::string PathFor(const std::string& directory, int port);

    ~CPortLink();
    CPortLink(CPortLink&& other) noexcept;
    CPortLink& operator=(CPortLink&& other) noexcept;
    CPortLink(const CPortLink&) = delete;
    CPortLink& operator=(const CPortLink&) = delete;

    const std::string& Path() const { return m_path; }
    // Where the stale link this one replaced led; empty when there was none.
    const std::string& Replaced() const { return m_replaced; }

private:
    CPortLink(std::string path, std::string target);
    void Remove();

    std::string m_path; // empty once moved from
    std::string m_target;
    std::string m_replaced;
};
