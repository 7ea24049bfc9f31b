#pragma once

#include "NetworkPortsFile.h"
#include "PortProbe.h"

#include <QDialog>

#include <atomic>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// "Porty sieciowe": which port numbers lead to network endpoints (ports.json in the settings
// folder). Lists the mappings of COM1 to COM255; adds, changes and removes them, each saved at
// once; "Sprawdź" connects to the chosen one and asks the device for its version, on a thread
// of its own, so that the window stays usable meanwhile.
class CNetworkPortsDlg : public QDialog {
public:
    // settingsDirectory ends in a separator; probe: the speed and address to ask with.
    CNetworkPortsDlg(std::string settingsDirectory, ProbeSettings probe, QWidget* parent);
    ~CNetworkPortsDlg() override; // a running check is cancelled and waited for

    QTableWidget* Table() const { return m_pTable; }
    QComboBox* PortChoice() const { return m_pPort; }
    QLineEdit* AddressField() const { return m_pAddress; }
    QLabel* Status() const { return m_pStatus; }
    bool Checking() const { return m_check.joinable() && !m_bCheckShown; }

    void Add();
    void Change();
    void Remove();
    void Check();

private:
    // Reads the file again, changes it and writes it; false (with the status saying why) when
    // it cannot be read or written. edit returns false, with the status set, to change nothing.
    bool Modify(const std::function<bool(NetworkPorts&)>& edit);
    void Reload();
    void ShowRows(int selectPort);
    int SelectedPort() const;
    void FillFields();
    void ShowCheck(int port, const ProbeResult& result);
    void UpdateButtons();
    // The address field as a URL; empty, with the status saying why, when it names no endpoint.
    std::string EnteredUrl();
    void Say(const QString& text);

    std::string m_strDirectory;
    ProbeSettings m_probe;
    NetworkPorts m_ports;
    std::vector<int> m_rows;              // port of each row
    std::map<int, std::string> m_results; // the last check of each port, in words
    std::atomic<int> m_cancel{0};
    std::thread m_check;
    bool m_bCheckShown = true;
    QTableWidget* m_pTable = nullptr;
    QComboBox* m_pPort = nullptr;
    QLineEdit* m_pAddress = nullptr;
    QPushButton* m_pAdd = nullptr;
    QPushButton* m_pChange = nullptr;
    QPushButton* m_pRemove = nullptr;
    QPushButton* m_pCheck = nullptr;
    QLabel* m_pStatus = nullptr;
};
