#include "SerialPort.h"
#include "FrameEncoder.h"
#include "LinkWorker.h"
#include "PtyPair.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <fstream>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Waits until the port has input (or a second has passed).
bool WaitReadable(const CSerialPort& port) {
    pollfd readable{port.NativeHandle(), POLLIN, 0};
    return ::poll(&readable, 1, 1000) == 1;
}

// Everything the port delivers within a short time, read with the given maximum per call.
std::string ReadAll(CSerialPort& port, std::size_t expected, int maxPerRead = 64) {
    std::string received;
    const auto deadline = Clock::now() + 2s;
    while (received.size() < expected && Clock::now() < deadline) {
        char chunk[64];
        const int n = port.Read(chunk, maxPerRead);
        if (n > 0) {
            received.append(chunk, static_cast<std::size_t>(n));
        } else {
            WaitReadable(port);
        }
    }
    return received;
}

class SerialPortLine : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_pty.Ok()) << "no pseudo-terminal available"; }

    CPtyPair m_pty{7};
};

} // namespace

TEST(SerialPortPath, MapsPortNumbersToDevices) {
    CTempDirectory dir;
    ASSERT_FALSE(dir.Path().empty());
    EXPECT_EQ(CSerialPort::DevicePath("", 1), "/dev/ttyS0");
    EXPECT_EQ(CSerialPort::DevicePath("", INT_MIN), "/dev/ttyS-2147483649");
    EXPECT_EQ(CSerialPort::DevicePath(dir.Path(), 3), "/dev/ttyS2");

    // An entry COM<n> in the application directory wins, even a link whose target is missing:
    // the user meant that device, so the open must fail rather than fall back to another port.
    ASSERT_EQ(::symlink("/nonexistent/tty", (dir.Path() + "/COM3").c_str()), 0);
    EXPECT_EQ(CSerialPort::DevicePath(dir.Path(), 3), dir.Path() + "/COM3");
    EXPECT_EQ(CSerialPort::DevicePath(dir.Path(), 4), "/dev/ttyS3");
    CSerialPort port(dir.Path());
    EXPECT_EQ(port.Open(3, 19200), 0);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.Close(), 1);

    // A plain file is found too, but it is no serial line.
    std::ofstream(dir.Path() + "/COM5") << "not a tty";
    EXPECT_EQ(CSerialPort::DevicePath(dir.Path(), 5), dir.Path() + "/COM5");
    EXPECT_EQ(port.Open(5, 19200), 0);
    EXPECT_EQ(port.NativeHandle(), kNoSerialHandle);
}

TEST_F(SerialPortLine, OpensRaw8N1AndKeepsTheFirstBaudRate) {
    CSerialPort port(m_pty.AppDirectory());
    const auto start = Clock::now();
    ASSERT_EQ(port.Open(m_pty.Port(), 9600), 1);
    EXPECT_GE(Clock::now() - start, 100ms); // the line settles before use
    EXPECT_EQ(port.Open(m_pty.Port(), 19200), 1);

    // A pseudo-terminal master reports the settings of its slave side.
    termios tio{};
    ASSERT_EQ(::tcgetattr(m_pty.Master(), &tio), 0);
    EXPECT_EQ(::cfgetospeed(&tio), static_cast<speed_t>(B9600));
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB), 0u);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);
}

TEST_F(SerialPortLine, ReadsNeverWaitAndTakeAtMostTheMaximum) {
    CSerialPort port(m_pty.AppDirectory());
    ASSERT_EQ(port.Open(m_pty.Port(), 19200), 1);
    char buffer[16];
    const auto start = Clock::now();
    EXPECT_EQ(port.Read(buffer, 1), 0);
    EXPECT_LT(Clock::now() - start, 1s);

    ASSERT_TRUE(m_pty.Send("ABCDE"));
    ASSERT_TRUE(WaitReadable(port));
    ASSERT_EQ(port.Read(buffer, 1), 1);
    EXPECT_EQ(buffer[0], 'A');
    EXPECT_EQ(ReadAll(port, 4), "BCDE");
    EXPECT_EQ(port.Read(buffer, 16), 0);
    EXPECT_EQ(port.Read(buffer, 0), 0);
}

TEST_F(SerialPortLine, PassesEveryByteValueUnchangedBothWays) {
    CSerialPort port(m_pty.AppDirectory());
    ASSERT_EQ(port.Open(m_pty.Port(), 19200), 1);
    std::string all;
    for (int i = 0; i < 256; ++i) {
        all.push_back(static_cast<char>(i)); // includes CR, LF, XON/XOFF, ^C, DEL
    }
    EXPECT_EQ(port.Write(all.data(), static_cast<int>(all.size())), 256);
    EXPECT_EQ(m_pty.Receive(256, 2s), all);

    ASSERT_TRUE(m_pty.Send(all));
    EXPECT_EQ(ReadAll(port, 256), all);
}

TEST_F(SerialPortLine, ClosedPortDoesNothing) {
    CSerialPort port(m_pty.AppDirectory());
    char buffer[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(port.Write("abc", 3), 0);
    EXPECT_EQ(port.Read(buffer, 4), 0);
    EXPECT_EQ(port.Close(), 1);

    ASSERT_EQ(port.Open(m_pty.Port(), 19200), 1);
    const auto start = Clock::now();
    EXPECT_EQ(port.Close(), 1);
    EXPECT_GE(Clock::now() - start, 10ms); // the line settles after closing
    EXPECT_EQ(port.Close(), 1);
    EXPECT_FALSE(port.IsOpen());

    ASSERT_TRUE(m_pty.Send("late"));
    EXPECT_EQ(port.Write("abc", 3), 0);
    EXPECT_EQ(port.Read(buffer, 4), 0);
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_EQ(m_pty.ReceiveFor(50ms), "");
}

TEST_F(SerialPortLine, OpensTheLineAtTheAskedRate) {
    const struct {
        int baudRate;
        speed_t speed;
    } cases[] = {{19200, B19200}, {9600, B9600}, {115200, B115200}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.baudRate);
        CSerialPort port(m_pty.AppDirectory());
        ASSERT_EQ(port.Open(m_pty.Port(), c.baudRate), 1);
        termios tio{};
        ASSERT_EQ(::tcgetattr(m_pty.Master(), &tio), 0);
        EXPECT_EQ(::cfgetospeed(&tio), c.speed);
        EXPECT_EQ(::cfgetispeed(&tio), c.speed);
    }
}

TEST_F(SerialPortLine, IsExclusiveWhileOpenAndFreeAfterwards) {
    // The flag itself: privileged processes (tests often run as root) open the line anyway.
    const auto exclusive = [this] {
        const int fd = ::open(m_pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        int flag = -1;
        if (fd >= 0) {
            EXPECT_EQ(::ioctl(fd, TIOCGEXCL, &flag), 0);
            ::close(fd);
        }
        return flag;
    };
    CSerialPort first(m_pty.AppDirectory());
    CSerialPort second(m_pty.AppDirectory());
    ASSERT_EQ(first.Open(m_pty.Port(), 19200), 1);
    EXPECT_EQ(exclusive(), 1);
    EXPECT_EQ(second.Open(m_pty.Port(), 19200), 0);
    EXPECT_FALSE(second.IsOpen());
    first.Close();
    EXPECT_EQ(exclusive(), 0) << "the port stays locked against other programs";
    EXPECT_EQ(second.Open(m_pty.Port(), 19200), 1);

    // The destructor closes, so the next user can open.
    {
        CSerialPort scoped(m_pty.AppDirectory());
        second.Close();
        ASSERT_EQ(scoped.Open(m_pty.Port(), 19200), 1);
    }
    EXPECT_EQ(first.Open(m_pty.Port(), 19200), 1);
}

TEST_F(SerialPortLine, UnsupportedBaudRateFailsAndLeavesNothingOpen) {
    CSerialPort port(m_pty.AppDirectory());
    EXPECT_EQ(port.Open(m_pty.Port(), 12345), 0);
    EXPECT_EQ(port.Open(m_pty.Port(), 0), 0);
    EXPECT_EQ(port.Open(m_pty.Port(), -19200), 0);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.Open(m_pty.Port(), 115200), 1);
}

TEST_F(SerialPortLine, WriteGivesUpAfterFiveSecondsWhenTheLineTakesNothing) {
    CSerialPort port(m_pty.AppDirectory());
    ASSERT_EQ(port.Open(m_pty.Port(), 19200), 1);
    // Nobody reads the other side: the buffers fill and the rest cannot leave.
    const std::string block(4 * 1024 * 1024, 'x');
    const auto start = Clock::now();
    const int written = port.Write(block.data(), static_cast<int>(block.size()));
    const auto elapsed = Clock::now() - start;
    EXPECT_GT(written, 0);
    EXPECT_LT(written, static_cast<int>(block.size()));
    EXPECT_GE(elapsed, 4900ms);
    EXPECT_LT(elapsed, 8s);
}

TEST_F(SerialPortLine, HungUpLineReadsAndWritesNothingAndSaysItHasGone) {
    CSerialPort port(m_pty.AppDirectory());
    ASSERT_EQ(port.Open(m_pty.Port(), 19200), 1);
    EXPECT_FALSE(port.LineGone()) << "a quiet line is not a gone one";
    m_pty.CloseMaster();
    char buffer[8];
    const auto start = Clock::now();
    EXPECT_EQ(port.Read(buffer, 8), 0);
    EXPECT_EQ(port.Write("abc", 3), 0);
    EXPECT_LT(Clock::now() - start, 1s);
    EXPECT_TRUE(port.LineGone());
    EXPECT_TRUE(port.Failure().lost);
    EXPECT_EQ(port.Failure().reason, std::generic_category().message(EIO));
    EXPECT_EQ(port.Failure().device, m_pty.SlavePath());
    EXPECT_EQ(port.Close(), 1);
    EXPECT_FALSE(port.LineGone());
}

// A failed open says which device the port reached and the system's reason; only a refused
// access asks for a group membership.
TEST_F(SerialPortLine, FailedOpenSaysWhy) {
    const std::string dir = m_pty.AppDirectory();
    ASSERT_EQ(::symlink("nowhere", (dir + "/COM3").c_str()), 0);
    std::ofstream(dir + "/COM5") << "not a tty";
    CSerialPort holder(dir);
    ASSERT_EQ(holder.Open(m_pty.Port(), 19200), 1);
    const struct {
        int port;
        int baudRate;
        std::string device;
        std::string reason;
    } cases[] = {
        {3, 19200, dir + "/nowhere", std::generic_category().message(ENOENT)},
        {5, 19200, dir + "/COM5", std::generic_category().message(ENOTTY)},
        {m_pty.Port(), 19200, m_pty.SlavePath(), std::generic_category().message(EBUSY)},
        {m_pty.Port(), 12345, m_pty.SlavePath(), "unsupported baud rate 12345"},
        {250, 19200, "/dev/ttyS249", std::generic_category().message(ENOENT)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        CSerialPort port(dir);
        ASSERT_EQ(port.Open(c.port, c.baudRate), 0);
        EXPECT_EQ(port.Failure().port, c.port);
        EXPECT_EQ(port.Failure().device, c.device);
        EXPECT_EQ(port.Failure().reason, c.reason);
        EXPECT_FALSE(port.Failure().permissionDenied);
        EXPECT_FALSE(port.Failure().lost);
    }
    EXPECT_TRUE(holder.Failure().reason.empty()) << "an open that worked has nothing to say";
}

TEST_F(SerialPortLine, SendWritesTheWholeFrameAndRefusesOversizedMessages) {
    CSerialPort port(m_pty.AppDirectory());
    ASSERT_EQ(port.Open(m_pty.Port(), 19200), 1);
    LinkMessage message;
    message.address = 0x1F;
    message.command = 0x21;
    EXPECT_EQ(SendFrame(message, port), 11);
    EXPECT_EQ(m_pty.Receive(11, 2s), "\n\r:031F21BD");

    message.length = LinkMessage::kPayloadCapacity + 1;
    EXPECT_EQ(SendFrame(message, port), 0);
    EXPECT_EQ(m_pty.ReceiveFor(50ms), "");
}
