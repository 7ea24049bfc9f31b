#pragma once

#if defined(_WIN32)
#include <cstdint>
#else
#include <unistd.h>
#endif

#if defined(_WIN32)
// CloseHandle, kept out of this header: <windows.h> here would bring its macros (MB_OK, ...) into
// every file that holds a file.
bool CloseWindowsFileHandle(void* handle);
#endif

// Owns one open file of the system: a HANDLE on Windows, a descriptor elsewhere. Close reports
// whether the system took the close, since some file systems report a failed write only there.
class CFileHandle {
public:
#if defined(_WIN32)
    using Native = void*; // a HANDLE
    static Native None() {
        return reinterpret_cast<void*>(static_cast<std::intptr_t>(-1)); // INVALID_HANDLE_VALUE
    }
#else
    using Native = int;
    static Native None() {
        return -1;
    }
#endif

    explicit CFileHandle(Native handle = None()) : m_handle(handle) {}
    ~CFileHandle() {
        static_cast<void>(Close());
    } // a caller that cares has closed it itself
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;

    bool IsOpen() const {
        return m_handle != None();
    }
    Native Get() const {
        return m_handle;
    }
    void Reset(Native handle) {
        static_cast<void>(Close());
        m_handle = handle;
    }
    bool Close() {
        if (!IsOpen()) {
            return true;
        }
#if defined(_WIN32)
        const bool closed = CloseWindowsFileHandle(m_handle);
#else
        const bool closed = ::close(m_handle) == 0;
#endif
        m_handle = None();
        return closed;
    }

private:
    Native m_handle;
};
