#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>

// The platform's handle of an open port: a file descriptor on POSIX, a HANDLE on Windows (kept as
// void* so that this header needs no <windows.h>).
#if defined(_WIN32)
using SerialHandle = void*;
inline constexpr SerialHandle kNoSerialHandle = nullptr;
#else
using SerialHandle = int;
inline constexpr SerialHandle kNoSerialHandle = -1;
#endif

// Why a port could not be used, or why it went away: for the diagnostics the program writes
// beside its message box.
struct PortFailure {
    int port = 0;
    std::string device;            // what the port number reached, as the system names it
    std::string reason;            // the system's own text for the error
    bool permissionDenied = false; // the user may not use the device (a group membership is due)
    bool lost = false;             // the line went away while connected
    bool busy = false;             // another program holds the device
};

// What a line's handle is to the worker's wake-up. On Windows a serial port is waited on for its
// input events, a network line gives an event object the system sets when input arrives or the
// connection ends. POSIX waits on either the same way.
enum class LineWaitKind { SerialPort, Event };

// Where a line tells what does not end it but is worth knowing (a server that did not confirm a
// setting), in the user's words. Called on the worker thread.
using LineNoteFn = std::function<void(const std::string& text)>;

// One line to the device, as the link worker uses it: the seam between the worker and what
// carries the bytes. Opened by port number and speed; reads never wait; a write sends one
// whole block and gives up after five seconds or at once when the cancel flag holds 1; every
// operation reports with an int (1/0 or a byte count), never with an exception. Used by one
// thread at a time. CSerialPort is the serial line; its header says the details.
class ILinePort {
public:
    virtual ~ILinePort() = default;

    // 1 when the line is open and set up; 0 when it cannot be, and then nothing is left open
    // and Failure() says why.
    virtual int Open(int port, int baudRate) = 0;
    // Always 1. Closing a closed line does nothing.
    virtual int Close() = 0;
    // Bytes the system took; 0 when the line is not open.
    virtual int Write(const void* data, int size) = 0;
    // Bytes placed in buffer, at most maxCount; 0 when nothing is waiting or the line is not
    // open; -1 when the read failed, after which the worker asks LineGone (a line that cannot
    // tell a failure from silence may give 0). Never waits.
    virtual int Read(void* buffer, int maxCount) = 0;
    // Whether the far end has gone for good: nothing can arrive any more.
    virtual bool LineGone() = 0;
    // What the last Open reached, with the reason when it failed or the line has gone since.
    virtual const PortFailure& Failure() const = 0;
    // A flag that, once it holds 1, makes a waiting write give up at once, and a connect that
    // Open waits for. Null: none.
    virtual void SetCancelFlag(const std::atomic<int>* flag) = 0;
    // What the worker's wake-up waits on for input; kNoSerialHandle when closed.
    virtual SerialHandle NativeHandle() const = 0;
    // How to wait on NativeHandle.
    virtual LineWaitKind WaitKind() const { return LineWaitKind::SerialPort; }
    // Where notes go; a line with nothing to tell ignores it. Set before Open.
    virtual void SetNoteSink(LineNoteFn sink) { (void)sink; }
};

// Makes the line of one connection; appDirectory is where config.cfg and the COM<n> links are.
using LinePortFactory = std::function<std::unique_ptr<ILinePort>(const std::string& appDirectory)>;
