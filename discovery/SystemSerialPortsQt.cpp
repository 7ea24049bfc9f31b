#include "SystemSerialPorts.h"

#include <QSerialPortInfo>

std::vector<SystemSerialPort> ListSystemSerialPorts() {
    std::vector<SystemSerialPort> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        ports.push_back({info.portName().toStdString(), info.systemLocation().toStdString(),
                         info.manufacturer().trimmed().toStdString(),
                         info.description().trimmed().toStdString(),
                         info.serialNumber().trimmed().toStdString()});
    }
    return ports;
}
