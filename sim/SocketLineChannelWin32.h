#pragma once

#include "LineChannel.h"

#include <cstdint>
#include <string>

// Windows: the line is a connected TCP client (a non-blocking SOCKET) whose input and end the
// system reports through an event; the stop is an event that stays set once Ctrl+C came.
// Standard input is not watched: a console or a pipe cannot be waited on beside a socket.
class CSocketLineChannel final : public ILineChannel {
public:
    CSocketLineChannel(std::uintptr_t socket, void* stopEvent);
    ~CSocketLineChannel() override;
    CSocketLineChannel(const CSocketLineChannel&) = delete;
    CSocketLineChannel& operator=(const CSocketLineChannel&) = delete;

    // Empty when the channel could be set up; otherwise why not.
    const std::string& SetupError() const { return m_setupError; }

    LineWake Wait(bool watchLine, std::optional<Clock::time_point> due) override;
    LineRead Read(char* buffer, std::size_t size) override;
    bool Write(const char* data, std::size_t size) override;

private:
    std::uintptr_t m_socket;
    void* m_hStop;
    void* m_hLineEvent = nullptr;
    // The far end's close is reported once; what it left is read first, then the end.
    bool m_bClosed = false;
    std::string m_setupError;
};
