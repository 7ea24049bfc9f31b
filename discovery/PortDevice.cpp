#include "PortDevice.h"

#include <cerrno>

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include "SerialPort.h"

#include <unistd.h>
#endif

int DeviceAccessError(const std::string& device) {
#if defined(_WIN32)
    // A COM name the system defines; whether another program holds it only opening tells.
    const std::wstring name(device.begin(), device.end()); // "COM<n>": ASCII
    wchar_t target[512];
    return QueryDosDeviceW(name.c_str(), target, 512) != 0 ? 0 : ENOENT;
#else
    // Asked, not opened: opening a serial device can raise its modem lines and reset what is
    // attached.
    return ::access(device.c_str(), R_OK | W_OK) == 0 ? 0 : errno;
#endif
}

PortDevice ProbePortDevice(const std::string& settingsDirectory, int port,
                           const DeviceAccessCheck& access) {
    PortDevice result;
#if defined(_WIN32)
    (void)settingsDirectory; // Windows names its ports itself
    result.device = "COM" + std::to_string(port);
#else
    std::string directory = settingsDirectory;
    if (!directory.empty() && directory.back() == '/') {
        directory.pop_back(); // DevicePath adds its own separator
    }
    const std::string path = CSerialPort::DevicePath(directory, port);
    if (!directory.empty() && path == directory + "/COM" + std::to_string(port)) {
        result.link = path;
    }
    result.device = CSerialPort::ReachedDevice(path);
#endif
    const int error = access(result.device);
    result.state = error == 0        ? PortDevice::State::Usable
                   : error == ENOENT ? PortDevice::State::Missing
                                     : PortDevice::State::NoAccess;
    return result;
}

std::string AdapterName(const std::string& maker, const std::string& product) {
    if (maker.empty() || product.rfind(maker, 0) == 0) {
        return product;
    }
    return product.empty() ? maker : maker + " " + product;
}

std::string DescribePortDevice(const PortDevice& port, const std::string& adapter) {
    std::string text = port.device + ": ";
    switch (port.state) {
    case PortDevice::State::Missing:
        text += "brak urządzenia";
        break;
    case PortDevice::State::NoAccess:
        text += adapter.empty() ? "" : adapter + ", ";
        // Debian gives serial devices to this group.
        text += "brak uprawnień do odczytu i zapisu (grupa dialout)";
        break;
    case PortDevice::State::Usable:
        text += adapter.empty() ? std::string("dostępne") : adapter;
        break;
    }
    if (!port.link.empty()) {
        text += "; dowiązanie " + port.link;
    }
    return text;
}
