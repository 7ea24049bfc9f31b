#include "CPortDlg.h"

#include "DataExchange.h"
#include "NetworkPortsFile.h"
#include "ResourceIds.h"
#include "SystemSerialPorts.h"
#include "UiText.h"

#include <QWidget>

#include <cstdint>
#include <map>

CPortDlg::CPortDlg() : CDialog(IDD_PORT) {}

void CPortDlg::DoDataExchange(CDataExchange& dx) {
    DDX_Radio(dx, IDC_PORT_COM1, m_nPort);
}

bool CPortDlg::OnInitDialog() {
    // A port the dialog does not offer selects nothing; settings files may hold any number, even
    // one whose index would not fit an int.
    const std::int64_t index = std::int64_t{m_pSettings->port} - 1;
    m_nPort = index >= 0 && index < kPortChoices ? static_cast<int>(index) : -1;
    const bool result = CDialog::OnInitDialog();
    DescribeChoices();
    return result;
}

void CPortDlg::DescribeChoices() {
    // Maker and product of each serial device the system knows, by its device file (and by
    // its port name, which is how Windows names it: "COM3").
    std::map<std::string, std::string> adapters;
    for (const SystemSerialPort& info : ListSystemSerialPorts()) {
        const std::string name = AdapterName(info.maker, info.product);
        adapters[info.location] = name;
        adapters[info.name] = name;
    }
    // A port ports.json maps leads to its network endpoint, whatever device has its number.
    NetworkPorts mapped;
    std::string error;
    (void)LoadNetworkPorts(m_strSettingsDir, mapped, error); // unreadable: no port is mapped here
    for (int i = 0; i < kPortChoices; ++i) {
        QWidget* choice = GetDlgItem(IDC_PORT_COM1 + i);
        if (choice == nullptr) {
            continue;
        }
        const auto endpoint = mapped.endpoints.find(i + 1);
        if (endpoint != mapped.endpoints.end()) {
            const QString text = QStringLiteral("COM%1: %2")
                                     .arg(i + 1)
                                     .arg(QString::fromStdString(endpoint->second));
            choice->setToolTip(text);
            choice->setAccessibleDescription(text);
            continue;
        }
        const PortDevice port = ProbePortDevice(m_strSettingsDir, i + 1, m_deviceAccess);
        const auto adapter = adapters.find(port.device);
        const QString text = UiText(
            DescribePortDevice(port, adapter != adapters.end() ? adapter->second : std::string()));
        choice->setToolTip(text);
        choice->setAccessibleDescription(text);
    }
}

void CPortDlg::OnDestroy() {
    // A cancelled dialog leaves the settings exactly as they were.
    if (GetWindow()->result() != IDOK) {
        return;
    }
    m_pSettings->port = m_nPort + 1;
    m_pSettings->deviceAddress = kDefaultDeviceAddress;
    m_pSettings->baudRate = kDefaultBaudRate;
}
