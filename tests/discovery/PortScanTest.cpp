#include "DeviceCommands.h"
#include "FrameEncoder.h"
#include "PortList.h"
#include "PortProbe.h"
#include "SerialPort.h"
#include "SimProcess.h"
#include "TempDirectory.h"
#include "UniqueFd.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

namespace {

ProbeSettings Settings(const std::string& settingsDirectory) {
    ProbeSettings settings;
    settings.settingsDirectory = settingsDirectory;
    settings.baudRate = 19200;
    settings.address = 31;
    return settings;
}

PortCandidate Candidate(int port, const std::string& device, const std::string& reached = "") {
    PortCandidate candidate;
    candidate.port = port;
    candidate.device = device;
    candidate.reached = reached;
    return candidate;
}

int OpenDescriptorCount() {
    std::error_code error;
    const auto fds = std::filesystem::directory_iterator("/proc/self/fd", error);
    return error ? -1 : static_cast<int>(std::distance(fds, std::filesystem::directory_iterator()));
}

// A pseudo-terminal whose master side the test keeps, playing the device; its slave is the port.
struct PlayedLine {
    CUniqueFd master;
    std::string slave;
};

PlayedLine OpenPlayedLine() {
    PlayedLine line;
    line.master.Reset(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    char name[128] = {};
    const int master = line.master.Get();
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
        ::ptsname_r(master, name, sizeof name) != 0 || ::fcntl(master, F_SETFL, O_NONBLOCK) != 0) {
        line.master.Reset();
        return line;
    }
    line.slave = name;
    return line;
}

// "major:minor" of a device, as the system's device folders name it.
std::string DeviceNumbers(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0
               ? std::to_string(major(info.st_rdev)) + ":" + std::to_string(minor(info.st_rdev))
               : std::string();
}

void WriteSystemFile(const std::filesystem::path& path, const std::string& line) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << line << "\n";
}

// A version answer as a device at this address sends it.
std::string VersionAnswer(std::uint8_t address) {
    LinkMessage message;
    message.address = address;
    message.command = CMD_READ_VERSION;
    message.length = 4;
    message.payload[0] = 3;
    std::copy_n("QAL", 3, message.payload + 1);
    EncodedFrame frame;
    EXPECT_TRUE(FrameEncoder::Encode(message, frame));
    return std::string(frame.text, frame.size);
}

bool SameLineSettings(const termios& a, const termios& b) {
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
           a.c_lflag == b.c_lflag && ::cfgetospeed(&a) == ::cfgetospeed(&b);
}

const ProbeResult* ResultFor(const std::vector<ProbeResult>& results, int port) {
    for (const ProbeResult& result : results) {
        if (result.candidate.port == port) {
            return &result;
        }
    }
    return nullptr;
}

// Several devices at once, each behind a COM<n> link: two that answer (one at once, one late on
// a paced line), one silent, one at another address, one held by another program, one link to
// nothing. Every port is tried in parallel and closed again.
TEST(PortScan, TriesEveryLinkAtOnceAndSaysWhy) {
    CTempDirectory dir("qal-scan");
    ASSERT_FALSE(dir.Path().empty());
    const std::string link = dir.Path();
    std::vector<std::unique_ptr<CSimProcess>> sims;
    const std::vector<std::vector<std::string>> options = {
        {"--port", "1"},
        {"--port", "2", "--pace", "--baud", "9600", "--delay", "400"},
        {"--port", "3", "--silent"},
        {"--port", "4", "--address", "7"},
        {"--port", "5"},
    };
    for (auto args : options) {
        args.insert(args.begin(), {"--link", link});
        sims.push_back(std::make_unique<CSimProcess>(args));
        ASSERT_FALSE(sims.back()->FirstLine().empty());
    }
    ASSERT_EQ(::symlink("nowhere", dir.Join("COM9").c_str()), 0);
    // Held the way a serial program holds its port.
    const int held = ::open(dir.Join("COM5").c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    ASSERT_EQ(::ioctl(held, TIOCEXCL), 0);

    ProbeSettings settings = Settings(link + "/");
    const int descriptorsBefore = OpenDescriptorCount();
    const auto start = std::chrono::steady_clock::now();
    const auto results = ScanPorts(SettingsFolderPorts(link + "/"), settings);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(OpenDescriptorCount(), descriptorsBefore);
    (void)::close(held);

    const struct {
        int port;
        ProbeResult::Outcome outcome;
        std::string reason;
    } cases[] = {
        {1, ProbeResult::Outcome::Answered, ""},
        {2, ProbeResult::Outcome::Answered, ""},
        {3, ProbeResult::Outcome::Silent, ""},
        {4, ProbeResult::Outcome::Silent, ""},
        {5, ProbeResult::Outcome::Busy, ""}, // seen open, so never opened
        {9, ProbeResult::Outcome::Unusable, std::generic_category().message(ENOENT)},
    };
    ASSERT_EQ(results.size(), std::size(cases));
    // In parallel: one after another, the scan would take at least the sum of its tries. The
    // bound of a try is its limit, with room for a loaded machine to wake the probe late.
    std::chrono::milliseconds tries{0};
    for (const ProbeResult& result : results) {
        tries += result.took;
    }
    EXPECT_LT(took, tries);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.port);
        const ProbeResult* result = ResultFor(results, c.port);
        ASSERT_NE(result, nullptr);
        EXPECT_EQ(result->outcome, c.outcome);
        EXPECT_EQ(result->reason, c.reason);
        EXPECT_LE(result->took, settings.tryLimit + std::chrono::seconds(1));
        if (c.outcome == ProbeResult::Outcome::Answered) {
            EXPECT_EQ(result->versionText, "QAL-1P symulator");
            EXPECT_EQ(result->versionNumber, 3u);
            EXPECT_EQ(result->baudRate, 19200);
        }
    }
    // Nothing is left open: each port can be taken exclusively again.
    for (const int port : {1, 2, 3, 4, 5}) {
        CSerialPort again(link + "/");
        EXPECT_EQ(again.Open(port, 19200), 1) << port;
    }
}

// A port that another program, or the kernel, uses is left alone without being opened, and
// says why; a port that is tried gets its line settings back and keeps input it did not cause.
// Only what answers the request at the address asked is found. The system's device folders
// are the test's own; the processes are the machine's, this one holding what a case holds.
TEST(PortScan, LeavesAloneWhatOthersUseAndFindsOnlyTheAnswer) {
    using Outcome = ProbeResult::Outcome;
    using Use = PortUse::Kind;
    enum class Line { Sim, SilentSim, Played };
    enum class Sys { Nothing, Console, ConsoleThroughTty0, NoUart, Uart };
    const struct {
        const char* name;
        Line line;
        bool held;           // open in this process, without a lock, as screen or a logger has it
        Sys sys;             // what the system's device folders say of it
        std::string reply;   // what a played device sends when a request comes
        std::string pending; // input waiting on a played line before the scan
        Outcome outcome;
        Use use;
        bool bytesSeen;
    } cases[] = {
        {"answers", Line::Sim, false, Sys::Nothing, "", "", Outcome::Answered, Use::Free, true},
        {"held open", Line::Sim, true, Sys::Nothing, "", "", Outcome::Busy, Use::HeldOpen, false},
        {"the console", Line::Sim, false, Sys::Console, "", "", Outcome::Busy, Use::Console, false},
        {"the console through tty0", Line::Sim, false, Sys::ConsoleThroughTty0, "", "",
         Outcome::Busy, Use::Console, false},
        {"no UART", Line::Sim, false, Sys::NoUart, "", "", Outcome::Unusable, Use::NoUart, false},
        {"a UART", Line::Sim, false, Sys::Uart, "", "", Outcome::Answered, Use::Free, true},
        {"a silent device", Line::SilentSim, false, Sys::Nothing, "", "", Outcome::Silent,
         Use::Free, false},
        {"an answer from another address", Line::Played, false, Sys::Nothing, VersionAnswer(7), "",
         Outcome::Silent, Use::Free, true},
        {"other data", Line::Played, false, Sys::Nothing, "\x01\x02 hello", "", Outcome::Silent,
         Use::Free, true},
        {"unread input", Line::Played, false, Sys::Nothing, "", "pending", Outcome::Busy, Use::Free,
         false},
    };
    constexpr std::size_t kCases = std::size(cases);
    CTempDirectory dir("qal-scan-use");
    ASSERT_FALSE(dir.Path().empty());
    const std::filesystem::path sys = dir.Join("sys");
    const std::filesystem::path ttyClass = sys / "class" / "tty";
    WriteSystemFile(ttyClass / "console" / "active", "ttyQ1 tty0");
    WriteSystemFile(ttyClass / "tty0" / "active", "ttyQ2");

    std::vector<std::unique_ptr<CSimProcess>> sims;
    std::vector<PlayedLine> played(kCases);
    std::vector<CUniqueFd> held(kCases);
    std::vector<termios> settingsBefore(kCases);
    std::vector<PortCandidate> candidates;
    for (std::size_t i = 0; i < kCases; ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.name);
        const int port = static_cast<int>(i) + 1;
        std::string device = dir.Join("COM" + std::to_string(port));
        if (c.line == Line::Played) {
            played[i] = OpenPlayedLine();
            ASSERT_TRUE(played[i].master.IsOpen());
            device = played[i].slave;
            const int master = played[i].master.Get();
            if (!c.pending.empty()) {
                termios raw{};
                ASSERT_EQ(::tcgetattr(master, &raw), 0);
                ::cfmakeraw(&raw);
                ASSERT_EQ(::tcsetattr(master, TCSANOW, &raw), 0);
                ASSERT_EQ(::write(master, c.pending.data(), c.pending.size()),
                          static_cast<ssize_t>(c.pending.size()));
                // The line takes it in a moment; looked at from the slave, closed again.
                CUniqueFd slave(::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
                int waiting = 0;
                for (int tries = 0; tries < 200 && waiting == 0; ++tries) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                    ASSERT_EQ(::ioctl(slave.Get(), FIONREAD, &waiting), 0);
                }
                ASSERT_EQ(waiting, static_cast<int>(c.pending.size()));
            }
            ASSERT_EQ(::tcgetattr(master, &settingsBefore[i]), 0);
        } else {
            std::vector<std::string> args{"--link", dir.Path(), "--port", std::to_string(port)};
            if (c.line == Line::SilentSim) {
                args.push_back("--silent");
            }
            sims.push_back(std::make_unique<CSimProcess>(args));
            ASSERT_FALSE(sims.back()->FirstLine().empty()) << sims.back()->Errors();
        }
        if (c.held) {
            held[i].Reset(::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
            ASSERT_TRUE(held[i].IsOpen());
        }
        const std::string numbers = DeviceNumbers(device);
        ASSERT_FALSE(numbers.empty());
        switch (c.sys) {
        case Sys::Console:
            WriteSystemFile(ttyClass / "ttyQ1" / "dev", numbers);
            break;
        case Sys::ConsoleThroughTty0:
            WriteSystemFile(ttyClass / "ttyQ2" / "dev", numbers);
            break;
        case Sys::NoUart:
        case Sys::Uart:
            WriteSystemFile(sys / "dev" / "char" / numbers / "type",
                            c.sys == Sys::NoUart ? "0" : "4");
            break;
        case Sys::Nothing:
            break;
        }
        candidates.push_back(Candidate(port, device));
    }

    // The played devices: what each hears, and its reply to the first request.
    std::atomic<bool> stop{false};
    std::vector<std::string> heard(kCases);
    std::thread device([&] {
        while (!stop.load()) {
            for (std::size_t i = 0; i < kCases; ++i) {
                char buffer[256];
                const ssize_t n = played[i].master.IsOpen()
                                      ? ::read(played[i].master.Get(), buffer, sizeof buffer)
                                      : -1;
                if (n <= 0) {
                    continue; // nothing, or no slave open (the master then reads an error)
                }
                if (heard[i].empty() && !cases[i].reply.empty()) {
                    (void)!::write(played[i].master.Get(), cases[i].reply.data(),
                                   cases[i].reply.size());
                }
                heard[i].append(buffer, static_cast<std::size_t>(n));
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    ProbeSettings settings = Settings(dir.Path() + "/");
    settings.tryLimit = std::chrono::milliseconds(800);
    settings.roots.sys = sys.string();
    const auto results = ScanPorts(candidates, settings);
    stop.store(true);
    device.join();

    ASSERT_EQ(results.size(), kCases);
    for (std::size_t i = 0; i < kCases; ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.name);
        const ProbeResult& result = results[i];
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(result.use.kind, c.use);
        EXPECT_EQ(result.bytesSeen, c.bytesSeen);
        if (c.use == Use::HeldOpen) {
            EXPECT_EQ(result.use.holderPid, ::getpid());
            EXPECT_FALSE(result.use.holderName.empty());
        }
        if (c.line != Line::Played) {
            continue;
        }
        // A request went out unless the line had input for someone else.
        EXPECT_EQ(heard[i].empty(), !c.pending.empty());
        termios after{};
        ASSERT_EQ(::tcgetattr(played[i].master.Get(), &after), 0);
        EXPECT_TRUE(SameLineSettings(after, settingsBefore[i]));
        if (!c.pending.empty()) {
            CUniqueFd slave(
                ::open(played[i].slave.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
            char buffer[64];
            const ssize_t n = ::read(slave.Get(), buffer, sizeof buffer);
            EXPECT_EQ(std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0), c.pending);
            int exclusive = 1;
            ASSERT_EQ(::ioctl(slave.Get(), TIOCGEXCL, &exclusive), 0);
            EXPECT_EQ(exclusive, 0) << "left exclusive, as no other program could open it";
        }
    }
}

// The folder's links come first and borrow what the system knows of the device they reach;
// a serial port of the system without a link keeps the number it is opened by.
TEST(PortList, MergesLinksWithTheSystemsPorts) {
    CTempDirectory dir("qal-ports");
    ASSERT_FALSE(dir.Path().empty());
    const std::string folder = dir.Path() + "/";
    // The device a link reaches: a pipe of the test's own, never a system device.
    const std::string line = std::filesystem::canonical(dir.Path()).string() + "/line";
    ASSERT_EQ(::mkfifo(line.c_str(), 0600), 0);
    ASSERT_EQ(::symlink(line.c_str(), dir.Join("COM3").c_str()), 0);
    ASSERT_EQ(::symlink("nowhere", dir.Join("COM12").c_str()), 0);
    for (const char* name : {"COM0", "COM256", "COM03", "COMX", "config.cfg"}) {
        ASSERT_EQ(::symlink(line.c_str(), dir.Join(name).c_str()), 0);
    }
    const auto links = SettingsFolderPorts(folder);
    ASSERT_EQ(links.size(), 2u);
    EXPECT_EQ(links[0].port, 3);
    EXPECT_EQ(links[0].reached, line);
    EXPECT_EQ(links[1].port, 12);

    PortCandidate nullDevice{0, line, "", "Maker", "Adapter", "A1"};
    PortCandidate usb{0, "/dev/ttyUSB0", "/dev/ttyUSB0", "FTDI", "FT232R", ""};
    PortCandidate serial{0, "/dev/ttyS3", "/dev/ttyS3", "", "", ""};
    PortCandidate firstSerial{0, "/dev/ttyS0", "/dev/ttyS0", "", "", ""};
    const auto merged = MergePorts(links, {nullDevice, usb, serial, firstSerial});
    ASSERT_EQ(merged.size(), 5u);
    EXPECT_EQ(merged[0].port, 3);
    EXPECT_EQ(merged[0].product, "Adapter");
    EXPECT_EQ(merged[0].serialNumber, "A1");
    EXPECT_EQ(merged[2].port, 0); // no number until a link is made for it
    EXPECT_EQ(CandidateName(merged[2]), "/dev/ttyUSB0");
    EXPECT_EQ(merged[3].port, 4);
    EXPECT_EQ(merged[4].port, 1);
    EXPECT_EQ(CandidateName(merged[4]), "COM1 (/dev/ttyS0)");

    EXPECT_EQ(FirstFreeComNumber(folder), 1);
    EXPECT_EQ(MakeComLink(folder, 1, "/dev/ttyUSB0"), "");
    EXPECT_EQ(FirstFreeComNumber(folder), 2);
    EXPECT_NE(MakeComLink(folder, 1, "/dev/ttyUSB1"), ""); // never replaces an entry
    EXPECT_EQ(std::filesystem::read_symlink(dir.Join("COM1")), "/dev/ttyUSB0");
}

// COM<k+1> opens /dev/ttyS<k> only where no link of that name leads elsewhere: one name never
// stands for two devices.
TEST(PortList, SerialPortsGetNoNumberALinkUsesForAnotherDevice) {
    const struct {
        const char* link;
        const char* serial;
        int port; // of the serial port's row
    } cases[] = {
        {"COM4", "/dev/ttyS3", 0},
        {"COM1", "/dev/ttyS0", 0},
        {"COM5", "/dev/ttyS3", 4},
        {"COM2", "/dev/ttyS0", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.link) + " " + c.serial);
        CTempDirectory dir("qal-ports");
        ASSERT_FALSE(dir.Path().empty());
        // The link leads to another device: a FIFO of the test's own stands for it.
        ASSERT_EQ(::mkfifo(dir.Join("other").c_str(), 0600), 0);
        ASSERT_EQ(::symlink(dir.Join("other").c_str(), dir.Join(c.link).c_str()), 0);
        const auto merged =
            MergePorts(SettingsFolderPorts(dir.Path() + "/"), {Candidate(0, c.serial, c.serial)});
        ASSERT_EQ(merged.size(), 2u);
        EXPECT_EQ(merged[1].port, c.port);
    }
}

TEST(PortProbe, TriesTheConfiguredSpeedFirstAndOthersOnlyOnRequest) {
    EXPECT_EQ(ProbeSpeeds(9600, false), std::vector<int>{9600});
    const auto all = ProbeSpeeds(9600, true);
    EXPECT_EQ(all.front(), 9600);
    EXPECT_EQ(std::count(all.begin(), all.end(), 9600), 1);
    EXPECT_GT(all.size(), 4u);
}

} // namespace
