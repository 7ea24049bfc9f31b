#pragma once

#include <string>

// What a Windows device instance id (as Device Manager shows under "Device instance path") says
// of the device behind a serial port.

// The adapter's serial number: the last part of a USB id ("USB\VID_0403&PID_6001\A50285BI"), or
// the middle part of an FTDI driver's id ("FTDIBUS\VID_0403+PID_6001+A50285BIA\0000", without
// the letter of the chip's channel that the driver adds). Empty when the id holds none: ids that
// Windows makes up for a device without a serial number carry '&'.
std::string SerialNumberFromInstanceId(const std::string& id);

// Whether the port is an outgoing Bluetooth serial port: opening it dials the remote device,
// which blocks for seconds when it is away. Its id ends in the remote device's address
// ("BTHENUM\{00001101-...}_LOCALMFG&0002\7&1A2B3C4D&0&001122334455_C00000000"); an incoming port,
// which only waits to be called, has zeros there.
bool IsOutgoingBluetoothPort(const std::string& id);
