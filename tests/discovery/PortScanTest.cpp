#include "PortList.h"
#include "PortProbe.h"
#include "SerialPort.h"
#include "SimProcess.h"
#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>

namespace {

int OpenDescriptorCount() {
    std::error_code error;
    const auto fds = std::filesystem::directory_iterator("/proc/self/fd", error);
    return error ? -1 : static_cast<int>(std::distance(fds, std::filesystem::directory_iterator()));
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

    ProbeSettings settings{link + "/", 19200, 31};
    const int descriptorsBefore = OpenDescriptorCount();
    const auto start = std::chrono::steady_clock::now();
    const auto results = ScanPorts(SettingsFolderPorts(link + "/"), settings);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::seconds(2));
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
        {5, ProbeResult::Outcome::Busy, std::generic_category().message(EBUSY)},
        {9, ProbeResult::Outcome::Unusable, std::generic_category().message(ENOENT)},
    };
    ASSERT_EQ(results.size(), std::size(cases));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.port);
        const ProbeResult* result = ResultFor(results, c.port);
        ASSERT_NE(result, nullptr);
        EXPECT_EQ(result->outcome, c.outcome);
        EXPECT_EQ(result->reason, c.reason);
        EXPECT_LE(result->took, std::chrono::milliseconds(1500));
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

TEST(PortProbe, TriesTheConfiguredSpeedFirstAndOthersOnlyOnRequest) {
    EXPECT_EQ(ProbeSpeeds(9600, false), std::vector<int>{9600});
    const auto all = ProbeSpeeds(9600, true);
    EXPECT_EQ(all.front(), 9600);
    EXPECT_EQ(std::count(all.begin(), all.end(), 9600), 1);
    EXPECT_GT(all.size(), 4u);
}

} // namespace
