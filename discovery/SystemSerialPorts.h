#pragma once

#include <string>
#include <vector>

// A serial port as the system knows it, with what it says about the device behind it.
struct SystemSerialPort {
    std::string name;     // "ttyUSB0", "COM3"
    std::string location; // "/dev/ttyUSB0", "\\.\COM3"
    std::string maker;
    std::string product;
    std::string serialNumber;
    bool dialsOut = false; // an outgoing Bluetooth port: opening it calls the remote device
};

// Every serial port the system knows now: Qt's serial port module where it exists, the system's
// device list on Windows.
std::vector<SystemSerialPort> ListSystemSerialPorts();
