#include "PortUse.h"

#if defined(__linux__)

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <system_error>

#include <limits.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Names the kernel's console can chain through (console -> tty0 -> tty1) before a loop ends.
constexpr std::size_t kMaxConsoleNames = 16;

std::optional<dev_t> CharDevice(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISCHR(info.st_mode)) {
        return std::nullopt;
    }
    return info.st_rdev;
}

// The first line of a small system file; empty when it cannot be read.
std::string FirstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    return words;
}

bool AllDigits(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
}

// "major:minor", as the system's device folders name a device.
std::string DeviceNumbers(dev_t device) {
    return std::to_string(major(device)) + ":" + std::to_string(minor(device));
}

std::optional<dev_t> ParseDeviceNumbers(const std::string& text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos) {
        return std::nullopt;
    }
    const std::string majorPart = text.substr(0, colon);
    const std::string minorPart = text.substr(colon + 1);
    // Nine digits at most: each part fits the number it is parsed into.
    if (!AllDigits(majorPart) || !AllDigits(minorPart) || majorPart.size() > 9 ||
        minorPart.size() > 9) {
        return std::nullopt;
    }
    return makedev(std::stoul(majorPart), std::stoul(minorPart));
}

std::string LinkTarget(const fs::path& link) {
    char target[PATH_MAX];
    const ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
    return n > 0 ? std::string(target, static_cast<std::size_t>(n)) : std::string();
}

// The devices the kernel's console writes to: those console/active names, and those that they
// name in turn (tty0 names the virtual terminal in front).
std::set<dev_t> ConsoleDevices(const fs::path& ttyClass) {
    std::vector<std::string> names = Words(FirstLine(ttyClass / "console" / "active"));
    std::set<std::string> seen;
    std::set<dev_t> devices;
    while (!names.empty() && seen.size() < kMaxConsoleNames) {
        const std::string name = names.back();
        names.pop_back();
        if (name.find('/') != std::string::npos || name == "." || name == ".." ||
            !seen.insert(name).second) {
            continue;
        }
        if (const auto device = ParseDeviceNumbers(FirstLine(ttyClass / name / "dev"))) {
            devices.insert(*device);
        }
        for (const std::string& next : Words(FirstLine(ttyClass / name / "active"))) {
            names.push_back(next);
        }
    }
    return devices;
}

// A serial port whose driver found no UART: the type TIOCGSERIAL reports, 0 for unknown.
bool WithoutUart(const fs::path& sys, dev_t device) {
    return FirstLine(sys / "dev" / "char" / DeviceNumbers(device) / "type") == "0";
}

// Whether the process (its /proc folder) holds the master of pseudo-terminal slave
// "/dev/pts/<n>", which makes it the device end of that line.
bool HoldsMasterOf(const fs::path& process, const std::string& slave) {
    const std::string prefix = "/dev/pts/";
    if (slave.compare(0, prefix.size(), prefix) != 0 || !AllDigits(slave.substr(prefix.size()))) {
        return false;
    }
    const std::string index = "tty-index:\t" + slave.substr(prefix.size());
    std::error_code error;
    for (fs::directory_iterator it(process / "fd", error); !error && it != fs::directory_iterator();
         it.increment(error)) {
        const std::string target = LinkTarget(it->path());
        if (target.size() < 4 || target.compare(target.size() - 4, 4, "ptmx") != 0) {
            continue;
        }
        std::ifstream info(process / "fdinfo" / it->path().filename());
        for (std::string line; std::getline(info, line);) {
            if (line == index) {
                return true;
            }
        }
    }
    return false;
}

// For each wanted device, the first process found holding it, as fuser finds them. Only links
// into /dev are examined: looking at any other open file could wait on a network file system.
// Processes whose folders this user may not read are passed over.
std::map<dev_t, PortUse> Holders(const fs::path& proc, const std::set<dev_t>& wanted) {
    std::map<dev_t, PortUse> found;
    std::error_code error;
    for (fs::directory_iterator process(proc, error);
         !error && process != fs::directory_iterator() && found.size() < wanted.size();
         process.increment(error)) {
        const std::string pid = process->path().filename().string();
        if (!AllDigits(pid) || pid.size() > 9) {
            continue;
        }
        std::error_code fdError;
        for (fs::directory_iterator fd(process->path() / "fd", fdError);
             !fdError && fd != fs::directory_iterator(); fd.increment(fdError)) {
            const std::string target = LinkTarget(fd->path());
            if (target.compare(0, 5, "/dev/") != 0) {
                continue;
            }
            const auto device = CharDevice(fd->path().string());
            if (!device || wanted.count(*device) == 0 || found.count(*device) != 0 ||
                HoldsMasterOf(process->path(), target)) {
                continue;
            }
            PortUse& use = found[*device];
            use.kind = PortUse::Kind::HeldOpen;
            use.holderPid = std::stoi(pid);
            use.holderName = FirstLine(process->path() / "comm");
        }
    }
    return found;
}

} // namespace

std::vector<PortUse> LookAtPorts(const std::vector<std::string>& devices,
                                 const SystemRoots& roots) {
    std::vector<PortUse> uses(devices.size());
    std::vector<std::optional<dev_t>> numbers;
    std::set<dev_t> wanted;
    for (const std::string& path : devices) {
        numbers.push_back(CharDevice(path));
        if (numbers.back()) {
            wanted.insert(*numbers.back());
        }
    }
    if (wanted.empty()) {
        return uses; // nothing there to be used: opening says why
    }
    const fs::path sys(roots.sys);
    const std::set<dev_t> console = ConsoleDevices(sys / "class" / "tty");
    const std::map<dev_t, PortUse> holders = Holders(roots.proc, wanted);
    for (std::size_t i = 0; i < devices.size(); ++i) {
        if (!numbers[i]) {
            continue;
        }
        const dev_t device = *numbers[i];
        if (console.count(device) != 0) {
            uses[i].kind = PortUse::Kind::Console;
        } else if (const auto holder = holders.find(device); holder != holders.end()) {
            uses[i] = holder->second;
        } else if (WithoutUart(sys, device)) {
            uses[i].kind = PortUse::Kind::NoUart;
        }
    }
    return uses;
}

#else

std::vector<PortUse> LookAtPorts(const std::vector<std::string>& devices, const SystemRoots&) {
    return std::vector<PortUse>(devices.size());
}

#endif
