#include "CFindDeviceDlg.h"

#include "PortDevice.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <system_error>

namespace {

enum Column { kPortColumn, kDeviceColumn, kAdapterColumn, kOutcomeColumn, kColumnCount };

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

std::string FindDeviceOutcomeText(const ProbeResult& result) {
    switch (result.use.kind) {
    case PortUse::Kind::HeldOpen:
        return "Otwarty przez program " + result.use.holderName + " (PID " +
               std::to_string(result.use.holderPid) + "), pominięty";
    case PortUse::Kind::Console:
        return "Konsola systemu, pominięty";
    case PortUse::Kind::NoUart:
        return "Brak układu UART za tą nazwą, pominięty";
    case PortUse::Kind::Free:
        break;
    }
    switch (result.outcome) {
    case ProbeResult::Outcome::Answered:
        return "Odpowiada: " + result.versionText + ", wersja " +
               std::to_string(result.versionNumber) + " (" + std::to_string(result.baudRate) +
               " bit/s)";
    case ProbeResult::Outcome::Silent:
        return result.bytesSeen ? "Brak odpowiedzi; odebrano inne dane (inna prędkość?)"
                                : "Brak odpowiedzi";
    case ProbeResult::Outcome::Busy:
        return "Zajęty przez inny program";
    case ProbeResult::Outcome::NotProbed:
        return "Bluetooth, not probed";
    case ProbeResult::Outcome::Unusable:
        break;
    }
    return "Nie można otworzyć: " + result.reason;
}

CFindDeviceDlg::CFindDeviceDlg(ProbeSettings settings, SystemPortLister systemPorts,
                               std::function<void(const ProbeResult&)> onChoose, QWidget* parent)
    : QDialog(parent), m_settings(std::move(settings)), m_systemPorts(std::move(systemPorts)),
      m_onChoose(std::move(onChoose)) {
    m_settings.cancel = &m_cancel;
    setWindowTitle(QStringLiteral("Znajdź urządzenie"));
    // A tool window of its own with a normal frame; the main window stays usable.
    setWindowFlags(Qt::Window);
    setModal(false);

    m_pAllSpeeds = new QCheckBox(QStringLiteral("Sprawdź też inne &prędkości"), this);
    // Opening an outgoing Bluetooth port dials its device: only when asked.
    m_pBluetooth = new QCheckBox(QStringLiteral("Sprawdź też porty &Bluetooth"), this);
    m_pSearch = new QPushButton(QStringLiteral("&Szukaj"), this);
    m_pTable = new QTableWidget(0, kColumnCount, this);
    m_pTable->setHorizontalHeaderLabels({QStringLiteral("Port"), QStringLiteral("Urządzenie"),
                                         QStringLiteral("Adapter"), QStringLiteral("Wynik")});
    m_pTable->setAccessibleName(QStringLiteral("Znalezione porty"));
    m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->setTabKeyNavigation(false); // Tab leaves the table for the buttons
    m_pTable->horizontalHeader()->setStretchLastSection(true);
    m_pTable->verticalHeader()->hide();
    m_pStatus = new QLabel(this);
    m_pStatus->setAccessibleName(QStringLiteral("Stan szukania"));
    m_pUse = new QPushButton(QStringLiteral("&Użyj wybranego portu"), this);
    auto* close = new QPushButton(QStringLiteral("Zamknij"), this);

    auto* top = new QHBoxLayout;
    top->addWidget(m_pAllSpeeds);
    top->addWidget(m_pBluetooth);
    top->addStretch();
    top->addWidget(m_pSearch);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_pStatus, 1);
    buttons->addWidget(m_pUse);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_pTable, 1);
    layout->addLayout(buttons);
    setTabOrder(m_pAllSpeeds, m_pBluetooth);
    setTabOrder(m_pBluetooth, m_pSearch);
    setTabOrder(m_pSearch, m_pTable);
    setTabOrder(m_pTable, m_pUse);
    setTabOrder(m_pUse, close);
    resize(720, 320);

    connect(m_pSearch, &QPushButton::clicked, this, [this] { StartScan(); });
    connect(m_pUse, &QPushButton::clicked, this, [this] { UseSelected(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_pTable, &QTableWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
    connect(m_pTable, &QTableWidget::cellActivated, this, [this] { UseSelected(); });
    UpdateButtons();
}

CFindDeviceDlg::~CFindDeviceDlg() {
    m_cancel.store(1);
    if (m_scan.joinable()) {
        m_scan.join(); // each try notices the cancel within its next short wait
    }
}

void CFindDeviceDlg::StartScan() {
    if (!m_bShown) {
        return; // one scan at a time
    }
    if (m_scan.joinable()) {
        m_scan.join(); // the last scan has ended: its rows are shown
    }
    m_settings.allSpeeds = m_pAllSpeeds->isChecked();
    m_settings.dialOut = m_pBluetooth->isChecked();
    m_cancel.store(0);
    // Listed here, on the user-interface thread: the platform's list may use Qt.
    const auto candidates =
        MergePorts(SettingsFolderPorts(m_settings.settingsDirectory),
                   m_systemPorts ? m_systemPorts() : std::vector<PortCandidate>());
    m_bShown = false;
    m_pStatus->setText(QStringLiteral("Szukanie…"));
    UpdateButtons();
    try {
        m_scan = std::thread([this, candidates] {
            auto results = ScanPorts(candidates, m_settings);
            // Delivered by the window's own loop; dropped if the window has gone by then.
            QMetaObject::invokeMethod(
                this,
                [this, results = std::move(results)]() mutable { ShowResults(std::move(results)); },
                Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        m_bShown = true;
        m_pStatus->setText(QStringLiteral("Nie można rozpocząć szukania"));
        UpdateButtons();
    }
}

void CFindDeviceDlg::ShowResults(std::vector<ProbeResult> results) {
    m_results = std::move(results);
    m_bShown = true;
    m_pTable->setRowCount(static_cast<int>(m_results.size()));
    int answered = 0;
    for (int row = 0; row < static_cast<int>(m_results.size()); ++row) {
        const ProbeResult& result = m_results[static_cast<std::size_t>(row)];
        const PortCandidate& c = result.candidate;
        const std::string cells[kColumnCount] = {
            c.port > 0 ? "COM" + std::to_string(c.port) : "—",
            c.reached.empty() ? c.device : c.reached,
            AdapterName(c.maker, c.product) +
                (c.serialNumber.empty() ? "" : " (" + c.serialNumber + ")"),
            FindDeviceOutcomeText(result)};
        for (int column = 0; column < kColumnCount; ++column) {
            m_pTable->setItem(row, column, new QTableWidgetItem(Text(cells[column])));
        }
        if (result.outcome == ProbeResult::Outcome::Answered) {
            if (answered++ == 0) {
                m_pTable->selectRow(row);
            }
        }
    }
    m_pTable->resizeColumnsToContents();
    m_pStatus->setText(answered > 0 ? QStringLiteral("Odpowiada urządzeń: %1").arg(answered)
                                    : QStringLiteral("Nie znaleziono urządzenia"));
    UpdateButtons();
}

void CFindDeviceDlg::UseSelected() {
    const int row = m_pTable->currentRow();
    if (!m_bShown || row < 0 || row >= static_cast<int>(m_results.size())) {
        return;
    }
    const ProbeResult& result = m_results[static_cast<std::size_t>(row)];
    if (result.outcome == ProbeResult::Outcome::Unusable && result.candidate.port == 0) {
        return; // nothing a link could be made for
    }
    m_onChoose(result);
    accept();
}

void CFindDeviceDlg::UpdateButtons() {
    m_pSearch->setEnabled(m_bShown);
    m_pUse->setEnabled(m_bShown && m_pTable->currentRow() >= 0 &&
                       !m_pTable->selectedItems().isEmpty());
}
