#pragma once

#include "FileReplace.h"

#include <array>
#include <streambuf>

// A stream's bytes into a file replacement, in pieces, for writers that speak std::ostream.
class CFileReplaceStreamBuf final : public std::streambuf {
public:
    explicit CFileReplaceStreamBuf(CFileReplacement& replacement) : m_replacement(replacement) {
        setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
    }
    ~CFileReplaceStreamBuf() override { static_cast<void>(sync()); }
    CFileReplaceStreamBuf(const CFileReplaceStreamBuf&) = delete;
    CFileReplaceStreamBuf& operator=(const CFileReplaceStreamBuf&) = delete;

protected:
    int_type overflow(int_type c) override {
        static_cast<void>(sync());
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    // A failed write is kept by the replacement, whose Commit reports it.
    int sync() override {
        m_replacement.Write(pbase(), static_cast<std::size_t>(pptr() - pbase()));
        setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
        return 0;
    }

private:
    CFileReplacement& m_replacement;
    std::array<char, 65536> m_buffer{};
};
