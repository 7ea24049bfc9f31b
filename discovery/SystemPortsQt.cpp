#include "SystemPorts.h"

#include <QSerialPortInfo>

std::vector<PortCandidate> ListSystemPorts() {
    std::vector<PortCandidate> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        PortCandidate candidate;
#if defined(_WIN32)
        const QString name = info.portName();
        bool ok = false;
        const int n = name.startsWith(QLatin1String("COM")) ? name.mid(3).toInt(&ok) : 0;
        if (!ok || n <= 0) {
            continue; // not reachable by a COM number, so the terminal could not store it
        }
        candidate.port = n;
        candidate.reached = name.toStdString();
#else
        candidate.device = info.systemLocation().toStdString();
#endif
        candidate.maker = info.manufacturer().toStdString();
        candidate.product = info.description().toStdString();
        candidate.serialNumber = info.serialNumber().toStdString();
        ports.push_back(candidate);
    }
    return ports;
}
