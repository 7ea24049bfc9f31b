#include "LineDevice.h"

#include <unistd.h>

CLineDevice::CLineDevice(const DeviceBehaviour& device, const LineBehaviour& line)
    : m_model(device, DefaultDeviceMemory(WallClock::now())) {
    std::string error;
    m_pty = CPseudoTerminal::Open(error);
    if (!m_pty) {
        return; // IsRunning() tells the test
    }
    m_link = CPortLink::Create(m_dir.Path(), kPort, m_pty->SlavePath(), error);
    int fds[2];
    if (!m_link || ::pipe(fds) != 0) {
        return;
    }
    m_stopRead.Reset(fds[0]);
    m_stopWrite.Reset(fds[1]);
    m_channel.emplace(m_pty->MasterFd(), m_stopRead.Get(), -1);
    m_loop.emplace(*m_channel, m_model, line, CDeviceLoop::LogFn{}, CDeviceLoop::MemoryFn{});
    m_thread = std::thread([this] { (void)m_loop->Run(); });
}

CLineDevice::~CLineDevice() {
    if (m_thread.joinable()) {
        const char stop = 1;
        (void)!::write(m_stopWrite.Get(), &stop, 1); // an empty pipe always takes one byte
        m_thread.join();
    }
}
