#pragma once

#include "DeviceLoop.h"
#include "DeviceModel.h"
#include "PseudoTerminal.h"

#include <optional>
#include <string>
#include <thread>

// A simulated device on a pseudo-terminal, served by its loop on a thread of its own for as
// long as the object lives.
class CLineDevice {
public:
    CLineDevice(const DeviceBehaviour& device, const LineBehaviour& line);
    ~CLineDevice();
    CLineDevice(const CLineDevice&) = delete;
    CLineDevice& operator=(const CLineDevice&) = delete;

    bool IsRunning() const { return m_thread.joinable(); }
    const std::string& Path() const { return m_path; }

private:
    std::optional<CPseudoTerminal> m_pty;
    std::string m_path;
    CDeviceModel m_model;
    CUniqueFd m_stopRead;
    CUniqueFd m_stopWrite;
    std::optional<CDeviceLoop> m_loop;
    std::thread m_thread;
};
