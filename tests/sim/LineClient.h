#pragma once

#include <chrono>
#include <string>
#include <string_view>

// The terminal's end of the line for the tests: the device's port opened raw, with helpers that
// cut the received text into frames. Frames are cut by their length byte, not by their
// checksum, so that broken frames can be looked at too.
class CLineClient {
public:
    explicit CLineClient(const std::string& path);
    ~CLineClient();
    CLineClient(const CLineClient&) = delete;
    CLineClient& operator=(const CLineClient&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
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

    int m_fd = -1;
    std::string m_received;
};

// The message a frame's wire text carries when its checksum holds; length 255 otherwise.
struct LinkMessage;
LinkMessage DecodeWire(std::string_view wire);
