#include "CNetworkPortsDlg.h"

#include "CFindDeviceDlg.h"
#include "FileError.h"
#include "NetworkEndpoint.h"
#include "UiText.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include <system_error>

namespace {

enum Column { kPortColumn, kAddressColumn, kResultColumn, kColumnCount };

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

QString PortName(int port) {
    return QStringLiteral("COM%1").arg(port);
}

} // namespace

CNetworkPortsDlg::CNetworkPortsDlg(std::string settingsDirectory, ProbeSettings probe,
                                   QWidget* parent)
    : QDialog(parent), m_strDirectory(std::move(settingsDirectory)), m_probe(std::move(probe)) {
    m_probe.cancel = &m_cancel;
    m_probe.allSpeeds = false;
    setWindowTitle(UiText("Porty sieciowe"));

    m_pTable = new QTableWidget(0, kColumnCount, this);
    m_pTable->setHorizontalHeaderLabels(
        {QStringLiteral("Port"), UiText("Adres"), UiText("Wynik sprawdzenia")});
    m_pTable->setAccessibleName(UiText("Porty sieciowe"));
    m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->setTabKeyNavigation(false); // Tab leaves the table for the fields
    m_pTable->horizontalHeader()->setStretchLastSection(true);
    m_pTable->verticalHeader()->hide();

    m_pPort = new QComboBox(this);
    for (int port = 1; port <= NetworkPorts::kMaxPort; ++port) {
        m_pPort->addItem(PortName(port), port);
    }
    m_pPort->setAccessibleName(QStringLiteral("Port"));
    m_pAddress = new QLineEdit(this);
    m_pAddress->setAccessibleName(UiText("Adres"));
    m_pAddress->setAccessibleDescription(
        UiText("rfc2217://HOST:PORT (serwer portu szeregowego, RFC 2217) albo "
               "tcp://HOST:PORT (surowe bajty)"));
    m_pAddress->setPlaceholderText(QStringLiteral("rfc2217://mast-12.example.net:4001"));
    auto* fields = new QFormLayout;
    auto* portLabel = new QLabel(QStringLiteral("&Port:"), this);
    portLabel->setBuddy(m_pPort);
    auto* addressLabel = new QLabel(UiText("&Adres:"), this);
    addressLabel->setBuddy(m_pAddress);
    fields->addRow(portLabel, m_pPort);
    fields->addRow(addressLabel, m_pAddress);

    m_pAdd = new QPushButton(UiText("&Dodaj"), this);
    m_pChange = new QPushButton(UiText("&Zmień"), this);
    m_pRemove = new QPushButton(UiText("&Usuń"), this);
    m_pCheck = new QPushButton(UiText("&Sprawdź"), this);
    auto* close = new QPushButton(UiText("Zamknij"), this);
    for (QPushButton* button : {m_pAdd, m_pChange, m_pRemove, m_pCheck, close}) {
        button->setAutoDefault(false); // Enter in the address field adds nothing by surprise
        button->setAccessibleName(button->text().remove(QLatin1Char('&')));
    }
    m_pStatus = new QLabel(this);
    m_pStatus->setAccessibleName(UiText("Stan"));
    m_pStatus->setWordWrap(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_pAdd);
    buttons->addWidget(m_pChange);
    buttons->addWidget(m_pRemove);
    buttons->addWidget(m_pCheck);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pTable, 1);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    layout->addWidget(m_pStatus);
    setTabOrder(m_pTable, m_pPort);
    setTabOrder(m_pPort, m_pAddress);
    setTabOrder(m_pAddress, m_pAdd);
    setTabOrder(m_pAdd, m_pChange);
    setTabOrder(m_pChange, m_pRemove);
    setTabOrder(m_pRemove, m_pCheck);
    setTabOrder(m_pCheck, close);
    resize(640, 360);

    connect(m_pAdd, &QPushButton::clicked, this, [this] { Add(); });
    connect(m_pChange, &QPushButton::clicked, this, [this] { Change(); });
    connect(m_pRemove, &QPushButton::clicked, this, [this] { Remove(); });
    connect(m_pCheck, &QPushButton::clicked, this, [this] { Check(); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_pTable, &QTableWidget::itemSelectionChanged, this, [this] {
        FillFields();
        UpdateButtons();
    });
    Reload();
}

CNetworkPortsDlg::~CNetworkPortsDlg() {
    m_cancel.store(1);
    if (m_check.joinable()) {
        m_check.join(); // the check notices the cancel within its next short wait
    }
}

void CNetworkPortsDlg::Say(const QString& text) {
    m_pStatus->setText(text);
}

void CNetworkPortsDlg::Reload() {
    std::string error;
    if (LoadNetworkPorts(m_strDirectory, m_ports, error) == NetworkPortsLoad::Unusable) {
        Say(UiText("%1 — popraw plik albo usuń go").arg(Text(error)));
    }
    ShowRows(SelectedPort());
}

void CNetworkPortsDlg::ShowRows(int selectPort) {
    const QSignalBlocker quiet(m_pTable);
    m_rows.clear();
    m_pTable->setRowCount(static_cast<int>(m_ports.endpoints.size()));
    int row = 0;
    int selectedRow = -1;
    for (const auto& [port, url] : m_ports.endpoints) {
        m_rows.push_back(port);
        const auto result = m_results.find(port);
        const QString cells[kColumnCount] = {PortName(port), Text(url),
                                             result != m_results.end() ? UiText(result->second)
                                                                       : QString()};
        for (int column = 0; column < kColumnCount; ++column) {
            m_pTable->setItem(row, column, new QTableWidgetItem(cells[column]));
        }
        if (port == selectPort) {
            selectedRow = row;
        }
        ++row;
    }
    m_pTable->resizeColumnsToContents();
    if (selectedRow >= 0) {
        m_pTable->selectRow(selectedRow);
    } else {
        m_pTable->clearSelection();
        m_pTable->setCurrentCell(-1, -1);
    }
    FillFields();
    UpdateButtons();
}

int CNetworkPortsDlg::SelectedPort() const {
    const QList<QTableWidgetItem*> selected = m_pTable->selectedItems();
    if (selected.isEmpty()) {
        return 0;
    }
    const int row = selected.front()->row();
    return row >= 0 && row < static_cast<int>(m_rows.size()) ? m_rows[static_cast<std::size_t>(row)]
                                                             : 0;
}

void CNetworkPortsDlg::FillFields() {
    const int port = SelectedPort();
    if (port == 0) {
        return; // the fields keep what was typed
    }
    m_pPort->setCurrentIndex(port - 1);
    m_pAddress->setText(Text(m_ports.endpoints[port]));
}

void CNetworkPortsDlg::UpdateButtons() {
    const bool selected = SelectedPort() != 0;
    m_pChange->setEnabled(selected);
    m_pRemove->setEnabled(selected);
    m_pCheck->setEnabled(selected && m_bCheckShown);
}

std::string CNetworkPortsDlg::EnteredUrl() {
    const std::string url = m_pAddress->text().trimmed().toStdString();
    std::string error;
    if (!ParseNetworkUrl(url, &error)) {
        Say(UiText("Błędny adres: %1").arg(Text(error)));
        m_pAddress->setFocus();
        return {};
    }
    return url;
}

bool CNetworkPortsDlg::Modify(const std::function<bool(NetworkPorts&)>& edit) {
    NetworkPorts ports;
    std::string error;
    if (LoadNetworkPorts(m_strDirectory, ports, error) == NetworkPortsLoad::Unusable) {
        // Never written over: the user's own text may hold what they meant.
        Say(UiText("%1 — popraw plik albo usuń go").arg(Text(error)));
        return false;
    }
    if (!edit(ports)) {
        return false;
    }
    std::error_code status;
    if (SaveNetworkPorts(m_strDirectory, ports, status) != FileReplaceResult::Written) {
        Say(UiText(CannotWriteFileText(m_strDirectory + kNetworkPortsFileName, status)));
        return false;
    }
    m_ports = std::move(ports);
    return true;
}

void CNetworkPortsDlg::Add() {
    const int port = m_pPort->currentData().toInt();
    const std::string url = EnteredUrl();
    if (url.empty()) {
        return;
    }
    const bool added = Modify([&](NetworkPorts& ports) {
        if (ports.endpoints.contains(port)) {
            Say(UiText("%1 ma już adres; wybierz go i naciśnij „Zmień”").arg(PortName(port)));
            return false;
        }
        ports.endpoints[port] = url;
        return true;
    });
    if (added) {
        m_results.erase(port);
        ShowRows(port);
        Say(UiText("Dodano: %1: %2").arg(PortName(port), Text(url)));
    }
}

void CNetworkPortsDlg::Change() {
    const int old = SelectedPort();
    const int port = m_pPort->currentData().toInt();
    const std::string url = EnteredUrl();
    if (old == 0 || url.empty()) {
        return;
    }
    const bool changed = Modify([&](NetworkPorts& ports) {
        if (port != old && ports.endpoints.contains(port)) {
            Say(UiText("%1 ma już adres; najpierw go usuń").arg(PortName(port)));
            return false;
        }
        ports.endpoints.erase(old);
        ports.endpoints[port] = url;
        return true;
    });
    if (changed) {
        m_results.erase(old);
        m_results.erase(port);
        ShowRows(port);
        Say(UiText("Zmieniono: %1: %2").arg(PortName(port), Text(url)));
    }
}

void CNetworkPortsDlg::Remove() {
    const int port = SelectedPort();
    if (port == 0) {
        return;
    }
    const bool removed = Modify([port](NetworkPorts& ports) {
        ports.endpoints.erase(port);
        return true;
    });
    if (removed) {
        m_results.erase(port);
        ShowRows(0);
        m_pAddress->clear();
        Say(UiText("Usunięto adres portu %1").arg(PortName(port)));
        m_pTable->setFocus();
    }
}

void CNetworkPortsDlg::Check() {
    const int port = SelectedPort();
    if (port == 0 || !m_bCheckShown) {
        return;
    }
    if (m_check.joinable()) {
        m_check.join(); // the last check has ended: its result is shown
    }
    PortCandidate candidate;
    candidate.port = port;
    candidate.device = m_ports.endpoints[port];
    candidate.reached = candidate.device;
    m_cancel.store(0);
    m_bCheckShown = false;
    Say(UiText("Sprawdzanie %1…").arg(PortName(port)));
    UpdateButtons();
    try {
        m_check = std::thread([this, candidate] {
            const ProbeResult result = ProbePort(candidate, m_probe);
            // Delivered by the window's own loop; dropped if the window has gone by then.
            QMetaObject::invokeMethod(
                this, [this, port = candidate.port, result] { ShowCheck(port, result); },
                Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        m_bCheckShown = true;
        Say(UiText("Nie można rozpocząć sprawdzania"));
        UpdateButtons();
    }
}

void CNetworkPortsDlg::ShowCheck(int port, const ProbeResult& result) {
    m_bCheckShown = true;
    const std::string text = FindDeviceOutcomeText(result);
    m_results[port] = text;
    ShowRows(SelectedPort());
    Say(PortName(port) + QStringLiteral(": ") + UiText(text));
}
