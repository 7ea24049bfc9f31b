#pragma once

#include "PortList.h"
#include "PortProbe.h"

#include <QDialog>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

// "Znajdź urządzenie": lists the system's serial ports and the settings folder's COM<n> links,
// asks each for its version at once, and shows what answered and why the others did not. The
// chosen row goes to the main window, which stores it as its port. The scan runs on a thread
// of its own; the window stays usable meanwhile.
class CFindDeviceDlg : public QDialog {
public:
    // settings: directory, speed and address to ask with; systemPorts: the platform's list.
    CFindDeviceDlg(ProbeSettings settings, SystemPortLister systemPorts,
                   std::function<void(const ProbeResult&)> onChoose, QWidget* parent);
    ~CFindDeviceDlg() override; // cancels a running scan and waits the moment it takes to end

    // "Szukaj".
    void StartScan();
    bool Scanning() const { return m_scan.joinable() && !m_bShown; }

    QTableWidget* Table() const { return m_pTable; }

private:
    void ShowResults(std::vector<ProbeResult> results);
    void UseSelected();
    void UpdateButtons();

    ProbeSettings m_settings;
    SystemPortLister m_systemPorts;
    std::function<void(const ProbeResult&)> m_onChoose;
    std::vector<ProbeResult> m_results;
    std::atomic<int> m_cancel{0}; // 1: the scan ends, a write waiting on a line too
    std::thread m_scan;
    bool m_bShown = true; // the last scan's rows are on screen
    QCheckBox* m_pAllSpeeds = nullptr;
    QCheckBox* m_pBluetooth = nullptr;
    QTableWidget* m_pTable = nullptr;
    QLabel* m_pStatus = nullptr;
    QPushButton* m_pSearch = nullptr;
    QPushButton* m_pUse = nullptr;
};

// What a row says of its port, in the window's words.
std::string FindDeviceOutcomeText(const ProbeResult& result);
