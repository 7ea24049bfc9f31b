#pragma once

#include "LineChannel.h"

// POSIX: the line is a non-blocking descriptor (a pseudo-terminal's master side or a TCP
// client); the stop is a descriptor that becomes readable; inputFd (when not -1) is read and
// thrown away until its end.
class CFdLineChannel final : public ILineChannel {
public:
    CFdLineChannel(int lineFd, int stopFd, int inputFd)
        : m_lineFd(lineFd), m_stopFd(stopFd), m_inputFd(inputFd) {}

    LineWake Wait(bool watchLine, std::optional<Clock::time_point> due) override;
    LineRead Read(char* buffer, std::size_t size) override;
    bool Write(const char* data, std::size_t size) override;

private:
    int m_lineFd;
    int m_stopFd;
    int m_inputFd;
};
