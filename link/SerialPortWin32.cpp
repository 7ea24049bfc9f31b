#include "SerialPort.h"

#include "LineDcb.h"
#include "LineGoneErrors.h"

#include <cstdio>
#include <utility>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace {

constexpr DWORD kQueueSize = 10000;
constexpr DWORD kWriteLimitMs = 5000;
constexpr DWORD kOpenSettleMs = 100;
constexpr DWORD kCloseSettleMs = 10;
// Reads take only what is already buffered and so complete at once; this only bounds a
// driver that would hold a read anyway.
constexpr DWORD kReadGraceMs = 50;
// The write timeout ends a stalled write after five seconds; this backstop covers a driver
// that ignores it.
constexpr DWORD kWriteGraceMs = 500;

HANDLE AsHandle(SerialHandle handle) {
    return static_cast<HANDLE>(handle);
}

// The system's text for an error, in UTF-8 and without the line break it ends with.
std::string ErrorText(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string result;
    if (length > 0 && text != nullptr) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0,
                                             nullptr, nullptr);
        if (size > 0) {
            result.resize(static_cast<std::size_t>(size));
            (void)WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), result.data(),
                                      size, nullptr, nullptr); // sized by the call above
        }
    }
    if (text != nullptr) {
        (void)LocalFree(text); // nothing to do if freeing fails
    }
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r' ||
                               result.back() == ' ' || result.back() == '.')) {
        result.pop_back();
    }
    return result.empty() ? "error " + std::to_string(error) : result;
}

// Reads return at once with what is buffered; a write may take five seconds at most.
bool SetTimeouts(HANDLE port) {
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 0;
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = kWriteLimitMs;
    return SetCommTimeouts(port, &timeouts) != 0;
}

// 8N1 at the given speed without flow control (see LineDcbFor), starting from what the driver
// reports so that the fields it keeps for itself stay as they are.
bool SetLine(HANDLE port, int baudRate) {
    DCB fromDriver{};
    fromDriver.DCBlength = sizeof fromDriver;
    if (!GetCommState(port, &fromDriver)) {
        return false; // not a serial device
    }
    DCB line = LineDcbFor(fromDriver, static_cast<DWORD>(baudRate));
    return SetCommState(port, &line) != 0;
}

// While a write waits on the line it looks at the cancel flag this often.
constexpr DWORD kCancelCheckMs = 20;

bool Cancelled(const std::atomic<int>* cancel) {
    return cancel != nullptr && cancel->load() != 0;
}

// How an overlapped operation ended: the bytes it moved (also of a cancelled or timed-out one)
// and, when it failed, the system's error (ERROR_OPERATION_ABORTED for one cancelled here).
struct Finished {
    DWORD transferred = 0;
    DWORD error = ERROR_SUCCESS;
};

// Waits up to limitMs for an overlapped operation started on port, or until the cancel flag is
// set, and cancels it when it is still running then.
Finished FinishOverlapped(HANDLE port, OVERLAPPED& overlapped, DWORD limitMs,
                          const std::atomic<int>* cancel) {
    const ULONGLONG deadline = GetTickCount64() + limitMs;
    bool done = false;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
        const DWORD slice = cancel != nullptr && left > kCancelCheckMs ? kCancelCheckMs : left;
        done = WaitForSingleObject(overlapped.hEvent, slice) == WAIT_OBJECT_0;
        if (done || left == 0 || Cancelled(cancel)) {
            break;
        }
    }
    if (!done) {
        // Either result leads to the wait below, which ends once the operation is gone.
        (void)CancelIoEx(port, &overlapped);
    }
    Finished finished;
    // Fails for a cancelled operation too, which still reports what it moved before.
    if (!GetOverlappedResult(port, &overlapped, &finished.transferred, TRUE)) {
        finished.error = GetLastError();
    }
    return finished;
}

// Waits until the driver has sent what is queued, or until the deadline or a cancel.
void DrainOutput(HANDLE port, int baudRate, ULONGLONG deadline, const std::atomic<int>* cancel) {
    for (;;) {
        DWORD errors = 0;
        COMSTAT status{};
        if (!ClearCommError(port, &errors, &status) || status.cbOutQue == 0) {
            return; // sent, or the driver cannot tell (then there is nothing to wait on)
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline || Cancelled(cancel)) {
            return;
        }
        // Ten bits per character on the line; sleep about as long as the rest takes to leave.
        ULONGLONG pause =
            static_cast<ULONGLONG>(status.cbOutQue) * 10 * 1000 / static_cast<ULONGLONG>(baudRate) +
            1;
        pause = pause < deadline - now ? pause : deadline - now;
        if (cancel != nullptr && pause > kCancelCheckMs) {
            pause = kCancelCheckMs;
        }
        Sleep(static_cast<DWORD>(pause));
    }
}

} // namespace

// Windows names its ports itself: the application directory is not consulted.
CSerialPort::CSerialPort(std::string appDirectory) : m_strAppDirectory(std::move(appDirectory)) {}

CSerialPort::~CSerialPort() {
    Close();
}

// The driver takes any positive rate it can make; which ones, only the open tells.
bool CSerialPort::SupportsBaudRate(int baudRate) {
    return baudRate > 0;
}

int CSerialPort::Open(int port, int baudRate) {
    if (m_bOpen) {
        return 1;
    }
    m_failure = PortFailure{};
    m_failure.port = port;
    m_failure.device = "COM" + std::to_string(port);
    if (baudRate <= 0) {
        // Would reach the driver as a huge unsigned rate.
        m_failure.reason = "unsupported baud rate " + std::to_string(baudRate);
        return 0;
    }
    // The device namespace prefix is what makes COM10 and above reachable; it does no harm
    // below that.
    char name[32];
    std::snprintf(name, sizeof name, "\\\\.\\COM%d", port);
    // Exclusive (no sharing); overlapped, so that the worker can wait on the port and on its
    // wake-up at the same time.
    const HANDLE handle = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        m_failure.reason = ErrorText(error);
        // An exclusive open of a port another program holds is refused as access denied.
        m_failure.busy = error == ERROR_ACCESS_DENIED;
        return 0;
    }
    // Manual reset: each overlapped operation resets it when it starts.
    const HANDLE ioEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    // A port whose timeouts cannot be set could block a read forever: refused like a rejected
    // line setting.
    if (ioEvent == nullptr || !SetTimeouts(handle) || !SetLine(handle, baudRate)) {
        m_failure.reason = ErrorText(GetLastError());
        if (ioEvent != nullptr) {
            (void)CloseHandle(ioEvent);
        }
        (void)CloseHandle(handle); // the open has failed either way
        return 0;
    }
    // The queue sizes are only a recommendation, which some drivers refuse; their own sizes do.
    (void)SetupComm(handle, kQueueSize, kQueueSize);
    // The DCB already holds both lines off; saying so again covers drivers that apply the DCB
    // lazily. A port without modem lines (a pseudo-terminal under wine) refuses this harmlessly.
    (void)EscapeCommFunction(handle, CLRDTR);
    (void)EscapeCommFunction(handle, CLRRTS);

    m_hPort = handle;
    m_hIoEvent = ioEvent;
    m_nBaudRate = baudRate;
    m_bOpen = 1;
    // Drop whatever arrived before we were ready; a failed purge only leaves old bytes, which
    // the frame parser ignores up to the next ':'.
    (void)PurgeComm(handle, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    Sleep(kOpenSettleMs);
    return 1;
}

int CSerialPort::Close() {
    if (m_bOpen && m_hPort != kNoSerialHandle) {
        // Unsent output is dropped so that closing cannot wait on a stalled line.
        (void)PurgeComm(AsHandle(m_hPort), PURGE_TXABORT | PURGE_TXCLEAR);
        (void)CloseHandle(AsHandle(m_hPort)); // nothing useful to do if closing fails
        (void)CloseHandle(static_cast<HANDLE>(m_hIoEvent));
        m_hPort = kNoSerialHandle;
        m_hIoEvent = nullptr;
        m_bOpen = 0;
        m_bLineGone = false;
        Sleep(kCloseSettleMs);
    }
    return 1;
}

int CSerialPort::Write(const void* data, int size) {
    if (!m_bOpen || m_hPort == kNoSerialHandle || data == nullptr || size <= 0) {
        return 0;
    }
    const HANDLE port = AsHandle(m_hPort);
    const ULONGLONG deadline = GetTickCount64() + kWriteLimitMs;
    OVERLAPPED overlapped{};
    overlapped.hEvent = static_cast<HANDLE>(m_hIoEvent);
    // Overlapped even though we wait for it: the count a synchronous write reports is not
    // reliable everywhere (wine on a pseudo-terminal says 0 for bytes that did leave).
    if (!WriteFile(port, data, static_cast<DWORD>(size), nullptr, &overlapped)) {
        const DWORD error = GetLastError();
        if (error != ERROR_IO_PENDING) {
            NoteFailure(error);
            return 0; // the request concerned ends through its time-out
        }
    }
    const Finished finished =
        FinishOverlapped(port, overlapped, kWriteLimitMs + kWriteGraceMs, m_pCancel);
    NoteFailure(finished.error);
    // Bounded, unlike FlushFileBuffers, which waits as long as flow control holds the line.
    DrainOutput(port, m_nBaudRate, deadline, m_pCancel);
    return static_cast<int>(finished.transferred);
}

int CSerialPort::Read(void* buffer, int maxCount) {
    if (!m_bOpen || m_hPort == kNoSerialHandle || buffer == nullptr || maxCount <= 0) {
        return 0;
    }
    const HANDLE port = AsHandle(m_hPort);
    // Also clears a pending line error (framing, parity, overrun), which would otherwise stop
    // the port; the kind of error is of no use here.
    DWORD errors = 0;
    COMSTAT status{};
    DWORD wanted = static_cast<DWORD>(maxCount);
    if (ClearCommError(port, &errors, &status)) {
        if (status.cbInQue == 0) {
            return 0;
        }
        wanted = status.cbInQue < wanted ? status.cbInQue : wanted;
    } else {
        const DWORD error = GetLastError();
        if (IsWindowsLineGoneError(error)) {
            MarkLineGone(error);
            return -1;
        }
        // Some drivers (virtual ports) do not report their queue: the read timeouts still make
        // the read return at once with whatever is there.
    }
    OVERLAPPED overlapped{};
    overlapped.hEvent = static_cast<HANDLE>(m_hIoEvent);
    if (!ReadFile(port, buffer, wanted, nullptr, &overlapped)) {
        const DWORD error = GetLastError();
        if (error != ERROR_IO_PENDING) {
            NoteFailure(error);
            return -1;
        }
    }
    const Finished finished = FinishOverlapped(port, overlapped, kReadGraceMs, nullptr);
    NoteFailure(finished.error);
    if (finished.transferred == 0 && finished.error != ERROR_SUCCESS) {
        return -1;
    }
    return static_cast<int>(finished.transferred);
}

// Only real drivers show a device going: under wine, where the tests run, a port cannot be
// pulled out from under an open handle.
bool CSerialPort::LineGone() {
    if (!m_bOpen || m_hPort == kNoSerialHandle) {
        return false;
    }
    if (!m_bLineGone) {
        DWORD errors = 0;
        COMSTAT status{};
        if (!ClearCommError(AsHandle(m_hPort), &errors, &status)) {
            NoteFailure(GetLastError());
        }
    }
    return m_bLineGone;
}

void CSerialPort::NoteFailure(unsigned long error) {
    if (IsWindowsLineGoneError(error)) {
        MarkLineGone(error);
    }
}

void CSerialPort::MarkLineGone(unsigned long error) {
    m_bLineGone = true;
    m_failure.reason = ErrorText(static_cast<DWORD>(error));
    m_failure.lost = true;
}
