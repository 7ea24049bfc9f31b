#pragma once

#include "SerialPort.h"

#include <chrono>
#include <string>
#include <string_view>

// The terminal's end of the line for the tests: the terminal's own serial port, opened as the
// terminal opens it (port <n> of an application directory, 19200 baud), with helpers that cut
// the received text into frames. Frames are cut by their length byte, not by their checksum,
// so that broken frames can be looked at too.
class CLineClient {
public:
    CLineClient(const std::string& appDirectory, int port);

    bool IsOpen() const { return m_port.IsOpen(); }
    void Send(std::string_view wire);

    // The wire text of the next frame, "\n\r:" included; empty when none is complete within
    // the time-out.
    std::string NextFrame(std::chrono::milliseconds timeout = std::chrono::seconds(2));
    // Everything received within the period, frames not yet taken included.
    std::string ReadFor(std::chrono::milliseconds period);

    std::string Exchange(std::string_view request) {
        Send(request);
        return NextFrame();
    }

private:
    bool ReadSome(std::chrono::milliseconds timeout);

    CSerialPort m_port;
    std::string m_received;
};

// The message a frame's wire text carries when its checksum holds; length 255 otherwise.
struct LinkMessage;
LinkMessage DecodeWire(std::string_view wire);
