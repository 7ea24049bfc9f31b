#pragma once

#include "LineMonitor.h"
#include "MonitorRows.h"
#include "WireTrace.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

class CMonitorTableModel;
class CMonitorTableView;
class CStatusLineLabel;
class QCheckBox;
class QLabel;
class QPushButton;
class QTableView;

// "Podgląd transmisji": every frame both ways, the link's events and its figures. Listens to the
// wire trace only while shown, so that a closed monitor costs nothing.
class CLineMonitorWnd : public QWidget {
public:
    // Batches come at most this often. Without traffic the trace is still looked at this seldom,
    // for noise: a little longer than the readout's poll period, so that polling once a second
    // never wakes the monitor on its own.
    static constexpr int kTickMs = 100;
    static constexpr int kQuietTickMs = 1250;

    // parent: the window it is a tool of; it takes input beside that window even while the
    // parent runs modally, and goes with it.
    explicit CLineMonitorWnd(CWireTrace& trace, QWidget* parent = nullptr);
    ~CLineMonitorWnd() override;

    // The link events go here while the window is open.
    ILineEvents& Events() { return m_monitor; }

    // Something is on its way to the device: look again within kTickMs.
    void Wake();
    // Something came from the device or happened to the link and is waiting now: takes it at
    // once, while the window thread is awake anyway, or as soon as the batch limit allows.
    void TakeNow();
    // Takes what the trace holds and adds it as one batch; the timers call it. False when
    // there was nothing.
    bool Tick();
    // The figures start again now: the window is opened on a connection it did not watch whole.
    void CountFromNow();
    void Copy();
    void Save();

    // Where "Zapisz…" writes; empty: nothing. A file name ending in ".csv" gets CSV, any other
    // text. The default asks the user.
    std::function<QString()> askSavePath;

    const CMonitorRows& Rows() const { return m_rows; }
    const CMonitorStats& Stats() const { return m_monitor.Stats(); }
    QTableView* Table() const;
    QLabel* StatusLine() const;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void TogglePause();
    void UpdateStatus();
    QString DefaultSavePath();

    CWireTrace* m_trace;
    CLineMonitor m_monitor;
    CMonitorRows m_rows;
    std::vector<WireRecord> m_records;
    QTimer m_batchTimer; // single shot: the next batch
    QTimer m_quietTimer; // for noise, while nothing else wakes the monitor
    QElapsedTimer m_sinceBatch;
    CMonitorTableModel* m_model = nullptr;
    CMonitorTableView* m_table = nullptr;
    QPushButton* m_pause = nullptr;
    QCheckBox* m_hidePolls = nullptr;
    CStatusLineLabel* m_status = nullptr;
};
