#include "SystemSerialPorts.h"

#include "DeviceInstanceId.h"

#include <windows.h>

#include <devguid.h>
#include <setupapi.h>

#include <memory>
#include <string>

namespace {

std::string Utf8(const wchar_t* text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) {
        return {};
    }
    std::string result(static_cast<std::size_t>(size - 1), '\0');
    (void)::WideCharToMultiByte(CP_UTF8, 0, text, -1, result.data(), size, nullptr, nullptr);
    return result;
}

std::string Property(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property) {
    wchar_t buffer[512] = {};
    if (!::SetupDiGetDeviceRegistryPropertyW(set, &device, property, nullptr,
                                             reinterpret_cast<BYTE*>(buffer), sizeof buffer - 2,
                                             nullptr)) {
        return {}; // the driver does not say
    }
    return Utf8(buffer);
}

// "COM3" from the device's own key; empty for a port without a COM name (a parallel port).
std::string PortName(HDEVINFO set, SP_DEVINFO_DATA& device) {
    HKEY key = ::SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE) {
        return {};
    }
    wchar_t name[64] = {};
    DWORD size = sizeof name - 2;
    DWORD type = 0;
    const LONG read =
        ::RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &size);
    (void)::RegCloseKey(key); // read-only key: nothing to lose
    return read == ERROR_SUCCESS && type == REG_SZ ? Utf8(name) : std::string();
}

// "USB\VID_0403&PID_6001\A50285BI": what the device's serial number and kind are read from.
std::string InstanceId(HDEVINFO set, SP_DEVINFO_DATA& device) {
    wchar_t id[512] = {};
    if (!::SetupDiGetDeviceInstanceIdW(set, &device, id, 510, nullptr)) {
        return {};
    }
    return Utf8(id);
}

} // namespace

std::vector<SystemSerialPort> ListSystemSerialPorts() {
    std::vector<SystemSerialPort> ports;
    HDEVINFO set = ::SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE) {
        return ports; // no list: the choices still name their ports
    }
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD i = 0; ::SetupDiEnumDeviceInfo(set, i, &device); ++i) {
        const std::string name = PortName(set, device);
        if (name.rfind("COM", 0) != 0) {
            continue;
        }
        const std::string id = InstanceId(set, device);
        ports.push_back({name, "\\\\.\\" + name, Property(set, device, SPDRP_MFG),
                         Property(set, device, SPDRP_FRIENDLYNAME), SerialNumberFromInstanceId(id),
                         IsOutgoingBluetoothPort(id)});
    }
    (void)::SetupDiDestroyDeviceInfoList(set); // the list was ours alone
    return ports;
}
