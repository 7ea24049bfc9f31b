#include "PortLink.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace {

std::optional<std::string> ReadLink(const std::string& path) {
    char buffer[4096];
    const ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer);
    if (n < 0 || static_cast<std::size_t>(n) >= sizeof buffer) {
        return std::nullopt;
    }
    return std::string(buffer, static_cast<std::size_t>(n));
}

bool IsDanglingLink(const std::string& path) {
    struct stat entry {};
    struct stat pointee {};
    return ::lstat(path.c_str(), &entry) == 0 && S_ISLNK(entry.st_mode) &&
           ::stat(path.c_str(), &pointee) != 0 && errno == ENOENT;
}

} // namespace

std::string CPortLink::PathFor(const std::string& directory, int port) {
    return directory + "/COM" + std::to_string(port);
}

CPortLink::CPortLink(std::string path, std::string target)
    : m_path(std::move(path)), m_target(std::move(target)) {}

CPortLink::CPortLink(CPortLink&& other) noexcept
    : m_path(std::exchange(other.m_path, {})), m_target(std::move(other.m_target)) {}

std::optional<CPortLink> CPortLink::Create(const std::string& directory, int port,
                                           const std::string& target, std::string& error) {
    struct stat info {};
    if (::stat(directory.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        error = "no such directory: " + directory;
        return std::nullopt;
    }
    const std::string path = PathFor(directory, port);
    if (::symlink(target.c_str(), path.c_str()) == 0) {
        return CPortLink(path, target);
    }
    if (errno == EEXIST && IsDanglingLink(path)) {
        if (::unlink(path.c_str()) == 0 && ::symlink(target.c_str(), path.c_str()) == 0) {
            return CPortLink(path, target);
        }
    }
    if (errno == EEXIST) {
        const std::optional<std::string> pointee = ReadLink(path);
        error = path + " already exists" + (pointee ? " (-> " + *pointee + ")" : std::string()) +
                "; remove it or choose another --port";
    } else {
        error = "cannot create " + path + ": " + std::strerror(errno);
    }
    return std::nullopt;
}

CPortLink& CPortLink::operator=(CPortLink&& other) noexcept {
    if (this != &other) {
        Remove();
        m_path = std::exchange(other.m_path, {});
        m_target = std::move(other.m_target);
    }
    return *this;
}

CPortLink::~CPortLink() {
    Remove();
}

void CPortLink::Remove() {
    if (m_path.empty()) {
        return;
    }
    // Only our own link goes: another simulator may have taken the port over meanwhile.
    if (ReadLink(m_path) == m_target) {
        (void)::unlink(m_path.c_str()); // at worst a dangling link stays, which Create replaces
    }
    m_path.clear();
}
