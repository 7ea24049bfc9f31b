#pragma once

#if !defined(_WIN32)

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>

#include <sys/resource.h>

// A full disk for this process while it lives: no file grows beyond `bytes`, and a write that
// would fails (EFBIG) instead of ending the process. Only files written meanwhile are touched.
class CFileSizeLimit {
public:
    explicit CFileSizeLimit(std::uintmax_t bytes) : m_signal(std::signal(SIGXFSZ, SIG_IGN)) {
        EXPECT_EQ(::getrlimit(RLIMIT_FSIZE, &m_saved), 0);
        rlimit limit = m_saved;
        limit.rlim_cur = static_cast<rlim_t>(bytes);
        EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    }
    ~CFileSizeLimit() {
        (void)::setrlimit(RLIMIT_FSIZE, &m_saved); // back to what the process was given
        (void)std::signal(SIGXFSZ, m_signal);
    }
    CFileSizeLimit(const CFileSizeLimit&) = delete;
    CFileSizeLimit& operator=(const CFileSizeLimit&) = delete;

private:
    void (*m_signal)(int);
    rlimit m_saved{};
};

#endif
