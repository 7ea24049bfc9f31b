#include "PortLink.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string_view>
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

// Whether a pseudo-terminal line is a live simulator's: each simulator holds an open-file lock
// on its line for as long as it runs (see CPseudoTerminal). A line held exclusively by a program
// cannot be checked and counts as live.
bool IsLiveSimulatorLine(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return errno == EBUSY;
    }
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    probe.l_len = 1;
    const bool asked = ::fcntl(fd, F_OFD_GETLK, &probe) == 0;
    (void)::close(fd); // only looked at
    return !asked || probe.l_type != F_UNLCK;
}

// A link left behind by a simulator that was killed: it dangles, or its pseudo-terminal's number
// has since gone to some other program (a shell's terminal, say). Links to anything else (a
// user's mapping of a real adapter, a regular file) are never stale.
bool IsStaleLink(const std::string& path) {
    struct stat entry {};
    if (::lstat(path.c_str(), &entry) != 0 || !S_ISLNK(entry.st_mode)) {
        return false;
    }
    struct stat pointee {};
    if (::stat(path.c_str(), &pointee) != 0) {
        return errno == ENOENT;
    }
    char resolved[PATH_MAX];
    if (!S_ISCHR(pointee.st_mode) || ::realpath(path.c_str(), resolved) == nullptr ||
        std::string_view(resolved).rfind("/dev/pts/", 0) != 0) {
        return false;
    }
    return !IsLiveSimulatorLine(resolved);
}

} // namespace

std::string CPortLink::PathFor(const std::string& directory, int port) {
    return directory + "/COM" + std::to_string(port);
}

CPortLink::CPortLink(std::string path, std::string target)
    : m_path(std::move(path)), m_target(std::move(target)) {}

CPortLink::CPortLink(CPortLink&& other) noexcept
    : m_path(std::exchange(other.m_path, {})), m_target(std::move(other.m_target)),
      m_replaced(std::move(other.m_replaced)) {}

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
    const int failure = errno; // the checks below set errno of their own
    if (failure == EEXIST && IsStaleLink(path)) {
        const std::string stale = ReadLink(path).value_or(std::string());
        if (::unlink(path.c_str()) == 0 && ::symlink(target.c_str(), path.c_str()) == 0) {
            CPortLink link(path, target);
            link.m_replaced = stale;
            return link;
        }
        error = "cannot replace the stale link " + path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    if (failure == EEXIST) {
        const std::optional<std::string> pointee = ReadLink(path);
        error = path + " already exists" + (pointee ? " (-> " + *pointee + ")" : std::string()) +
                "; remove it or choose another --port";
    } else {
        error = "cannot create " + path + ": " + std::strerror(failure);
    }
    return std::nullopt;
}

CPortLink& CPortLink::operator=(CPortLink&& other) noexcept {
    if (this != &other) {
        Remove();
        m_path = std::exchange(other.m_path, {});
        m_target = std::move(other.m_target);
        m_replaced = std::move(other.m_replaced);
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
