#include "SocketLineChannelWin32.h"

#include "WinsockText.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <winsock2.h>
// After winsock2.h:
#include <windows.h>

#include <algorithm>

CSocketLineChannel::CSocketLineChannel(std::uintptr_t socket, void* stopEvent)
    : m_socket(socket), m_hStop(stopEvent) {
    const WSAEVENT event = WSACreateEvent();
    if (event == WSA_INVALID_EVENT) {
        m_setupError = "cannot create an event: " + WinsockErrorText(WSAGetLastError());
        return;
    }
    m_hLineEvent = event;
    if (WSAEventSelect(static_cast<SOCKET>(m_socket), event, FD_READ | FD_CLOSE) != 0) {
        m_setupError = "cannot watch the connection: " + WinsockErrorText(WSAGetLastError());
    }
}

CSocketLineChannel::~CSocketLineChannel() {
    if (m_hLineEvent != nullptr) {
        // The socket stays the caller's; it is closed right after.
        (void)WSAEventSelect(static_cast<SOCKET>(m_socket), nullptr, 0);
        (void)WSACloseEvent(static_cast<WSAEVENT>(m_hLineEvent));
    }
}

LineWake CSocketLineChannel::Wait(bool watchLine, std::optional<Clock::time_point> due) {
    LineWake wake;
    if (watchLine && m_bClosed) {
        wake.lineReadable = true; // the rest of the input, then the end
        wake.stop = WaitForSingleObject(static_cast<HANDLE>(m_hStop), 0) == WAIT_OBJECT_0;
        return wake;
    }
    DWORD timeout = INFINITE;
    if (due) {
        // Whole milliseconds, rounded up: nothing may be woken for before it is due.
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            std::max(*due - Clock::now(), Clock::duration{}));
        timeout = static_cast<DWORD>(std::min<long long>(left.count(), INFINITE - 1));
    }
    const HANDLE handles[2] = {static_cast<HANDLE>(m_hStop), static_cast<HANDLE>(m_hLineEvent)};
    const DWORD result = WaitForMultipleObjects(watchLine ? 2 : 1, handles, FALSE, timeout);
    if (result == WAIT_OBJECT_0) {
        wake.stop = true;
    } else if (result == WAIT_OBJECT_0 + 1) {
        WSANETWORKEVENTS events{};
        // Resets the event; what happened is remembered by the socket until read.
        if (WSAEnumNetworkEvents(static_cast<SOCKET>(m_socket), static_cast<WSAEVENT>(m_hLineEvent),
                                 &events) != 0) {
            wake.failed = true;
            wake.failure = "cannot ask the connection: " + WinsockErrorText(WSAGetLastError());
            return wake;
        }
        m_bClosed = m_bClosed || (events.lNetworkEvents & FD_CLOSE) != 0;
        wake.lineReadable = true;
    } else if (result != WAIT_TIMEOUT) {
        wake.failed = true;
        wake.failure = "wait failed: " + WinsockErrorText(static_cast<int>(GetLastError()));
    }
    return wake;
}

LineRead CSocketLineChannel::Read(char* buffer, std::size_t size) {
    LineRead read;
    const int n = recv(static_cast<SOCKET>(m_socket), buffer,
                       static_cast<int>(std::min<std::size_t>(size, 1 << 16)), 0);
    if (n > 0) {
        read.outcome = LineRead::Data;
        read.size = static_cast<std::size_t>(n);
        return read;
    }
    if (n == 0) {
        read.outcome = LineRead::Gone;
        read.failure = "the line was closed";
        return read;
    }
    const int error = WSAGetLastError();
    if (error == WSAEWOULDBLOCK || error == WSAEINTR) {
        return read;
    }
    read.outcome = LineRead::Gone;
    read.failure = WinsockErrorText(error);
    return read;
}

bool CSocketLineChannel::Write(const char* data, std::size_t size) {
    const int n = send(static_cast<SOCKET>(m_socket), data, static_cast<int>(size), 0);
    return n == static_cast<int>(size);
}
