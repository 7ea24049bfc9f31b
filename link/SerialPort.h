#pragma once

#include "LinePort.h"

#include <atomic>
#include <string>

#if !defined(_WIN32)
#include <termios.h>
#endif

// One serial port, opened by number ("COM%d") with 8N1 and DTR/RTS off. Reads never wait, a write
// sends one whole block and waits at most five seconds for it to leave. Every operation reports
// with an int (1/0 or a byte count), never with an exception. Used by one thread at a time.
class CSerialPort final : public ILinePort {
public:
    // appDirectory is where config.cfg lives: on POSIX a file or symbolic link named COM<n> there
    // stands for port n (see DevicePath).
    explicit CSerialPort(std::string appDirectory = {});
    ~CSerialPort() override;

    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    // 1 when the port is open and configured (also when it already was: the first baud rate
    // stays); 0 when it cannot be opened or configured, and then nothing is left open.
    int Open(int port, int baudRate) override;
    // Always 1. Closing a closed port does nothing.
    int Close() override;
    // Bytes the system took; 0 when the port is not open.
    int Write(const void* data, int size) override;
    // Bytes placed in buffer, at most maxCount; 0 when nothing is waiting or the port is not
    // open, -1 when the read failed (LineGone then says whether for good). Never waits.
    int Read(void* buffer, int maxCount) override;

    // Whether the device has gone (an adapter pulled out, the far end of a pseudo-terminal
    // closed): nothing can arrive any more. Remembers what Read and Write saw and, when that
    // says nothing, asks the system; worth calling when the port reported readiness but a Read
    // gave nothing. False for a closed port.
    bool LineGone() override;
    // Which device the last Open reached; with a reason when that Open failed or the line has
    // gone since, an empty reason otherwise.
    const PortFailure& Failure() const override { return m_failure; }

    // A flag that, once it holds 1, makes a write waiting on a stalled line give up at once
    // instead of after five seconds: the worker passes its stop request, so that closing the
    // program never waits on the line. Null: no such flag.
    void SetCancelFlag(const std::atomic<int>* flag) override { m_pCancel = flag; }

    // For a short look at a port that is not this program's (the finder's probe): Open refuses,
    // as busy, a port with input already waiting for whoever reads it, and drops nothing the
    // line holds; Close puts back the line settings Open found. Set before Open. POSIX only: on
    // Windows the exclusive open keeps other programs out already.
    void SetVisiting(bool visiting) { m_bVisiting = visiting; }

    bool IsOpen() const { return m_bOpen != 0; }
    // Whether Open can set the line to this many bits per second.
    static bool SupportsBaudRate(int baudRate);
    // For waiting on the port together with other events; kNoSerialHandle when closed.
    SerialHandle NativeHandle() const override { return m_hPort; }

#if !defined(_WIN32)
    // The device behind port n: <appDirectory>/COM<n> when such a file or link exists, otherwise
    // /dev/ttyS<n-1>.
    static std::string DevicePath(const std::string& appDirectory, int port);
    // The device a path reaches, as a person would look for it: the file behind links (a COM<n>
    // link, a name under /dev/serial/by-id/), or for a link to nothing the place it points to.
    static std::string ReachedDevice(const std::string& path);
    // Open for a device found by its path rather than by a port number (port is what Failure
    // reports, 0 for none). Same results as Open.
    int OpenDevice(const std::string& path, int port, int baudRate);
#endif

private:
    void MarkLineGone(unsigned long error);
#if defined(_WIN32)
    // Marks the line gone when a failed call's error says the device has gone.
    void NoteFailure(unsigned long error);
#endif

    SerialHandle m_hPort = kNoSerialHandle;
    int m_bOpen = 0;
    int m_nBaudRate = 0;
    std::string m_strAppDirectory;
    const std::atomic<int>* m_pCancel = nullptr;
    bool m_bLineGone = false;
    bool m_bVisiting = false;
    PortFailure m_failure;
#if !defined(_WIN32)
    bool m_bRestoreLine = false; // m_savedLine goes back on the line at Close
    termios m_savedLine{};
#endif
#if defined(_WIN32)
    void* m_hIoEvent = nullptr; // completes the overlapped reads and writes
#endif
};
