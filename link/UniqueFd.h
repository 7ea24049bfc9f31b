#pragma once

#include <unistd.h>

#include <utility>

// Owns one file descriptor and closes it when it goes.
class CUniqueFd {
public:
    CUniqueFd() = default;
    explicit CUniqueFd(int fd) : m_fd(fd) {}
    ~CUniqueFd() { Reset(); }

    CUniqueFd(CUniqueFd&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    CUniqueFd& operator=(CUniqueFd&& other) noexcept {
        if (this != &other) {
            Reset(std::exchange(other.m_fd, -1));
        }
        return *this;
    }
    CUniqueFd(const CUniqueFd&) = delete;
    CUniqueFd& operator=(const CUniqueFd&) = delete;

    int Get() const { return m_fd; }
    bool IsOpen() const { return m_fd >= 0; }

    // Gives up ownership without closing, for a descriptor the caller has closed itself.
    int Release() { return std::exchange(m_fd, -1); }

    void Reset(int fd = -1) {
        if (m_fd >= 0) {
            (void)::close(m_fd); // nothing sensible to do when close reports an error
        }
        m_fd = fd;
    }

private:
    int m_fd = -1;
};
