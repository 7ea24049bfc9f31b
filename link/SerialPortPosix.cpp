#include "SerialPort.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <system_error>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kOpenSettleTime = std::chrono::milliseconds(100);
constexpr auto kCloseSettleTime = std::chrono::milliseconds(10);
constexpr auto kWriteLimit = std::chrono::seconds(5);
// While a write waits on the line it looks at the cancel flag this often.
constexpr int kCancelCheckMs = 20;

struct BaudEntry {
    int baudRate;
    speed_t speed;
};

// The rates termios can name. Anything else is refused like a line setting the port rejects.
constexpr BaudEntry kBaudTable[] = {
    {50, B50},         {75, B75},         {110, B110},       {134, B134},     {150, B150},
    {200, B200},       {300, B300},       {600, B600},       {1200, B1200},   {1800, B1800},
    {2400, B2400},     {4800, B4800},     {9600, B9600},     {19200, B19200}, {38400, B38400},
    {57600, B57600},   {115200, B115200}, {230400, B230400},
#if defined(B460800)
    {460800, B460800},
#endif
#if defined(B921600)
    {921600, B921600},
#endif
};

bool SpeedFor(int baudRate, speed_t& speed) {
    for (const BaudEntry& entry : kBaudTable) {
        if (entry.baudRate == baudRate) {
            speed = entry.speed;
            return true;
        }
    }
    return false;
}

int MillisecondsLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

bool Cancelled(const std::atomic<int>* cancel) {
    return cancel != nullptr && cancel->load() != 0;
}

// How long to wait in one go: the time left, in slices short enough to notice a cancel.
int WaitSlice(int left, const std::atomic<int>* cancel) {
    return cancel != nullptr && left > kCancelCheckMs ? kCancelCheckMs : left;
}

std::string ErrorText(int error) {
    return std::generic_category().message(error);
}

// Errors after which nothing will come from the device again.
bool IsLineGoneError(int error) {
    return error == EIO || error == ENXIO || error == ENODEV || error == EBADF;
}

// Raw 8N1 at the given speed; hardware flow control stays as the driver has it. Reads return
// at once with what is buffered (VMIN 0, VTIME 0). 0 when the line took it all, otherwise the
// error (EINVAL when the driver quietly kept other settings).
int ConfigureLine(int fd, speed_t speed) {
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        return errno; // not a terminal device
    }
    tio.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR |
                                          ICRNL | IXON | IXOFF | INPCK);
    tio.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    tio.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB);
    tio.c_cflag |= CS8 | CREAD | CLOCAL;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (::cfsetispeed(&tio, speed) != 0 || ::cfsetospeed(&tio, speed) != 0) {
        return errno;
    }
    if (::tcsetattr(fd, TCSANOW, &tio) != 0) {
        return errno;
    }
    // tcsetattr succeeds when any part of the request was applied: check what the line took.
    termios applied{};
    if (::tcgetattr(fd, &applied) != 0) {
        return errno;
    }
    const bool taken = ::cfgetospeed(&applied) == speed && (applied.c_cflag & CSIZE) == CS8 &&
                       (applied.c_cflag & (PARENB | CSTOPB)) == 0 &&
                       (applied.c_lflag & ICANON) == 0;
    return taken ? 0 : EINVAL;
}

// Exclusive use: TIOCEXCL keeps out other opens of the device (except by privileged processes),
// the lock keeps out any other program that locks it too, root included. 0 or the error.
int TakeExclusively(int fd) {
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        // "Would block" means another program holds the device.
        return errno == EWOULDBLOCK ? EBUSY : errno;
    }
    return ::ioctl(fd, TIOCEXCL) == 0 ? 0 : errno;
}

// Whether the line holds input nobody has read yet.
bool InputWaiting(int fd) {
    int waiting = 0;
    return ::ioctl(fd, FIONREAD, &waiting) == 0 && waiting > 0;
}

// Waits until the driver has sent what is queued, or until the deadline or a cancel.
void DrainOutput(int fd, int baudRate, Clock::time_point deadline, const std::atomic<int>* cancel) {
    for (;;) {
        int queued = 0;
        if (::ioctl(fd, TIOCOUTQ, &queued) != 0 || queued <= 0) {
            return; // nothing queued, or the driver cannot tell (then there is nothing to wait on)
        }
        const int left = WaitSlice(MillisecondsLeft(deadline), cancel);
        if (left == 0 || Cancelled(cancel)) {
            return;
        }
        // Ten bits per character on the line; sleep about as long as the rest takes to leave.
        const long long needed = static_cast<long long>(queued) * 10 * 1000 / baudRate + 1;
        const int pause = static_cast<int>(needed < left ? needed : left);
        std::this_thread::sleep_for(std::chrono::milliseconds(pause));
    }
}

} // namespace

CSerialPort::CSerialPort(std::string appDirectory) : m_strAppDirectory(std::move(appDirectory)) {}

CSerialPort::~CSerialPort() {
    Close();
}

std::string CSerialPort::DevicePath(const std::string& appDirectory, int port) {
    const std::string name = "COM" + std::to_string(port);
    if (!appDirectory.empty()) {
        const std::string mapped = appDirectory + "/" + name;
        struct stat info {};
        if (::lstat(mapped.c_str(), &info) == 0) {
            return mapped; // also a dangling link: the user meant this port, and it is missing
        }
    }
    // In 64 bits: a settings file may hold the smallest int.
    return "/dev/ttyS" + std::to_string(static_cast<long long>(port) - 1);
}

std::string CSerialPort::ReachedDevice(const std::string& path) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) != nullptr) {
        return resolved;
    }
    char target[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
    if (n <= 0) {
        return path;
    }
    const std::string pointee(target, static_cast<std::size_t>(n));
    const std::size_t slash = path.find_last_of('/');
    if (pointee.front() == '/' || slash == std::string::npos) {
        return pointee;
    }
    return path.substr(0, slash + 1) + pointee;
}

bool CSerialPort::SupportsBaudRate(int baudRate) {
    speed_t speed{};
    return SpeedFor(baudRate, speed);
}

int CSerialPort::Open(int port, int baudRate) {
    if (m_bOpen) {
        return 1;
    }
    return OpenDevice(DevicePath(m_strAppDirectory, port), port, baudRate);
}

int CSerialPort::OpenDevice(const std::string& path, int port, int baudRate) {
    if (m_bOpen) {
        return 1;
    }
    m_failure = PortFailure{};
    m_failure.port = port;
    m_failure.device = ReachedDevice(path);
    speed_t speed{};
    if (!SpeedFor(baudRate, speed)) {
        m_failure.reason = "unsupported baud rate " + std::to_string(baudRate);
        return 0;
    }
    // Non-blocking: the open must not wait for a carrier, and reads must never wait.
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    int error = fd < 0 ? errno : TakeExclusively(fd);
    const bool exclusive = fd >= 0 && error == 0;
    // A visit leaves a line with unread input to its reader: before touching the settings, and
    // again once the line is raw, as a line in canonical mode shows no input before its end.
    const auto othersInput = [this, fd] { return m_bVisiting && InputWaiting(fd) ? EBUSY : 0; };
    termios found{};
    const bool restore = error == 0 && m_bVisiting && ::tcgetattr(fd, &found) == 0;
    if (error == 0) {
        error = othersInput();
    }
    if (error == 0) {
        error = ConfigureLine(fd, speed);
    }
    if (error == 0) {
        error = othersInput();
    }
    if (error != 0) {
        // As good as it gets on a failed open; a pseudo-terminal would keep the exclusive flag.
        if (restore) {
            (void)::tcsetattr(fd, TCSANOW, &found);
        }
        if (exclusive) {
            (void)::ioctl(fd, TIOCNXCL);
        }
        if (fd >= 0) {
            ::close(fd); // result irrelevant: the open has failed either way
        }
        m_failure.reason = ErrorText(error);
        m_failure.permissionDenied = error == EACCES || error == EPERM;
        m_failure.busy = error == EBUSY;
        return 0;
    }
    // DTR and RTS off. A pseudo-terminal has no modem lines and refuses this; that is harmless.
    int modemLines = TIOCM_DTR | TIOCM_RTS;
    (void)::ioctl(fd, TIOCMBIC, &modemLines);

    m_hPort = fd;
    m_nBaudRate = baudRate;
    m_bOpen = 1;
    m_bRestoreLine = restore;
    m_savedLine = found;
    // Drop whatever arrived before we were ready; a failed purge only leaves old bytes, which
    // the frame parser ignores up to the next ':'. A visit found nothing waiting.
    if (!m_bVisiting) {
        (void)::tcflush(fd, TCIOFLUSH);
    }
    std::this_thread::sleep_for(kOpenSettleTime);
    return 1;
}

int CSerialPort::Close() {
    if (m_bOpen && m_hPort != kNoSerialHandle) {
        // Unsent output is dropped so that close cannot wait on a stalled line; the exclusive
        // flag is cleared because a pseudo-terminal keeps it while its other side stays open.
        (void)::tcflush(m_hPort, TCOFLUSH);
        if (m_bRestoreLine) {
            // A line that has gone refuses; then there is nobody left to mind its settings.
            (void)::tcsetattr(m_hPort, TCSANOW, &m_savedLine);
            m_bRestoreLine = false;
        }
        (void)::ioctl(m_hPort, TIOCNXCL);
        (void)::close(m_hPort); // nothing useful to do if close reports an error
        m_hPort = kNoSerialHandle;
        m_bOpen = 0;
        m_bLineGone = false;
        std::this_thread::sleep_for(kCloseSettleTime);
    }
    return 1;
}

int CSerialPort::Write(const void* data, int size) {
    if (!m_bOpen || m_hPort == kNoSerialHandle || data == nullptr || size <= 0) {
        return 0;
    }
    const auto deadline = Clock::now() + kWriteLimit;
    const char* bytes = static_cast<const char*>(data);
    int written = 0;
    while (written < size) {
        const ssize_t n =
            ::write(m_hPort, bytes + written, static_cast<std::size_t>(size - written));
        if (n > 0) {
            written += static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            const int left = WaitSlice(MillisecondsLeft(deadline), m_pCancel);
            if (left == 0 || Cancelled(m_pCancel)) {
                break;
            }
            pollfd writable{m_hPort, POLLOUT, 0};
            if (::poll(&writable, 1, left) < 0 && errno != EINTR) {
                break;
            }
            if ((writable.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
                (void)LineGone(); // says why
                break;
            }
            continue;
        }
        // Any other error: the frame is lost. The caller does not examine short writes; the
        // request concerned ends through its time-out.
        if (n < 0 && IsLineGoneError(errno)) {
            MarkLineGone(static_cast<unsigned long>(errno));
        }
        break;
    }
    DrainOutput(m_hPort, m_nBaudRate, deadline, m_pCancel);
    return written;
}

int CSerialPort::Read(void* buffer, int maxCount) {
    if (!m_bOpen || m_hPort == kNoSerialHandle || buffer == nullptr || maxCount <= 0) {
        return 0;
    }
    ssize_t n = 0;
    do {
        n = ::read(m_hPort, buffer, static_cast<std::size_t>(maxCount));
    } while (n < 0 && errno == EINTR);
    if (n >= 0) {
        return static_cast<int>(n);
    }
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
        return 0; // nothing waiting
    }
    if (IsLineGoneError(errno)) {
        MarkLineGone(static_cast<unsigned long>(errno));
    }
    return -1;
}

bool CSerialPort::LineGone() {
    if (!m_bOpen || m_hPort == kNoSerialHandle) {
        return false;
    }
    if (m_bLineGone) {
        return true;
    }
    // Hang-up and error conditions are reported whatever events are asked for. A terminal
    // reports hang-up only when it is gone for good: an unplugged adapter, a pseudo-terminal
    // whose other side closed (carrier loss does not count, the line is local).
    pollfd state{m_hPort, 0, 0};
    if (::poll(&state, 1, 0) == 1 && (state.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
        // The system's own word for it: a terminal that has gone refuses even its settings.
        termios tio{};
        MarkLineGone(::tcgetattr(m_hPort, &tio) != 0 ? static_cast<unsigned long>(errno)
                                                     : static_cast<unsigned long>(EIO));
    }
    return m_bLineGone;
}

void CSerialPort::MarkLineGone(unsigned long error) {
    m_bLineGone = true;
    m_failure.reason = ErrorText(static_cast<int>(error));
    m_failure.lost = true;
}
