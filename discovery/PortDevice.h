#pragma once

#include <functional>
#include <string>

// What one port choice of "Wybierz port" reaches, and whether it can be used now.
struct PortDevice {
    enum class State { Missing, NoAccess, Usable };

    std::string device; // the device file, after links; "COM<n>" on Windows
    std::string link;   // the COM<n> link in the settings folder that maps the port; empty if none
    State state = State::Missing;
};

// 0 when this process may read and write the device, otherwise the error (ENOENT: not there).
using DeviceAccessCheck = std::function<int(const std::string& device)>;
int DeviceAccessError(const std::string& device);

// settingsDirectory: where config.cfg and the COM<n> links live (ends in a separator).
PortDevice ProbePortDevice(const std::string& settingsDirectory, int port,
                           const DeviceAccessCheck& access = DeviceAccessError);

// An adapter as the system names it: maker and product, the maker left out when the product
// names it already. Empty when the system knows neither.
std::string AdapterName(const std::string& maker, const std::string& product);

// One line for the choice's tooltip and accessible description, e.g.
// "/dev/ttyUSB0: FTDI FT232R USB UART". adapter: see AdapterName.
std::string DescribePortDevice(const PortDevice& port, const std::string& adapter);
