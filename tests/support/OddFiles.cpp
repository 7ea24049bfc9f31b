#include "OddFiles.h"

#include <filesystem>
#include <system_error>

#if !defined(_WIN32)
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

const char* OddFileName(OddFile kind) {
    switch (kind) {
    case OddFile::Folder:
        return "folder";
    case OddFile::Pipe:
        return "pipe";
    case OddFile::Socket:
        return "socket";
    case OddFile::Device:
        break;
    }
    return "device";
}

bool MakeOddFile(OddFile kind, const std::string& path, std::string& why) {
    if (kind == OddFile::Folder) {
        std::error_code error;
        if (!std::filesystem::create_directory(path, error)) {
            why = "cannot make a folder: " + error.message();
            return false;
        }
        return true;
    }
#if defined(_WIN32)
    why = std::string("no ") + OddFileName(kind) + " in a Windows folder";
    return false;
#else
    switch (kind) {
    case OddFile::Pipe:
        if (::mkfifo(path.c_str(), 0600) == 0) {
            return true;
        }
        break;
    case OddFile::Socket: {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (path.size() >= sizeof address.sun_path) {
            why = "the path is too long for a socket";
            return false;
        }
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const bool bound =
            fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        const int error = errno;
        if (fd >= 0) {
            ::close(fd); // the socket's file stays
        }
        if (bound) {
            return true;
        }
        errno = error;
        break;
    }
    case OddFile::Device:
        if (::geteuid() != 0) {
            why = "a device node needs root";
            return false;
        }
        if (::mknod(path.c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0) {
            return true;
        }
        break;
    case OddFile::Folder:
        break;
    }
    why = std::string("cannot make a ") + OddFileName(kind) + ": " + std::strerror(errno);
    return false;
#endif
}
