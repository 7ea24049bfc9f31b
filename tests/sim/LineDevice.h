#pragma once

#include "DeviceLoop.h"
#include "DeviceModel.h"
#include "FdLineChannel.h"
#include "PortLink.h"
#include "PseudoTerminal.h"
#include "TempDirectory.h"

#include <optional>
#include <string>
#include <thread>

// A simulated device on a pseudo-terminal behind port 1 of a temporary application directory,
// served by its loop on a thread of its own for as long as the object lives.
class CLineDevice {
public:
    CLineDevice(const DeviceBehaviour& device, const LineBehaviour& line);
    ~CLineDevice();
    CLineDevice(const CLineDevice&) = delete;
    CLineDevice& operator=(const CLineDevice&) = delete;

    static constexpr int kPort = 1;

    bool IsRunning() const { return m_thread.joinable(); }
    const std::string& AppDirectory() const { return m_dir.Path(); }

private:
    CTempDirectory m_dir;
    std::optional<CPseudoTerminal> m_pty;
    std::optional<CPortLink> m_link;
    CDeviceModel m_model;
    CUniqueFd m_stopRead;
    CUniqueFd m_stopWrite;
    std::optional<CFdLineChannel> m_channel;
    std::optional<CDeviceLoop> m_loop;
    std::thread m_thread;
};
