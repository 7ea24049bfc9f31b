#include "CLineMonitorWnd.h"

#include "CWinApp.h"
#include "FileError.h"
#include "MessageBoxTypes.h"
#include "MonitorCellDelegate.h"
#include "MonitorFile.h"
#include "MonitorTableModel.h"
#include "MonitorTableView.h"
#include "RowText.h"
#include "StatusLineLabel.h"
#include "Utf8Path.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QShowEvent>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <fstream>

namespace {

QPushButton* AddButton(QBoxLayout& layout, const char* text, const char* accessibleName) {
    auto* button = new QPushButton(QString::fromUtf8(text));
    button->setAccessibleName(QString::fromUtf8(accessibleName));
    button->setAutoDefault(false);
    layout.addWidget(button);
    return button;
}

} // namespace

CLineMonitorWnd::CLineMonitorWnd(CWireTrace& trace, QWidget* parent)
    : QWidget(parent, Qt::Window), m_trace(&trace) {
    askSavePath = [this] { return DefaultSavePath(); };
    setWindowTitle(QStringLiteral("Podgląd transmisji"));
    resize(1100, 420);

    m_model = new CMonitorTableModel(m_rows, this);
    m_table = new CMonitorTableView;
    m_table->setModel(m_model);
    m_table->setItemDelegate(new CMonitorCellDelegate(m_table));
    m_table->setAccessibleName(QStringLiteral("Ramki i zdarzenia łącza"));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setWordWrap(false);
    // No grid: its lines cost more to draw than the texts of a new row; the cells keep a gap.
    m_table->setShowGrid(false);
    m_table->setTextElideMode(Qt::ElideNone); // cheaper to paint; columns can be widened
    m_table->verticalHeader()->hide();
    // Equal row heights keep a table of 100 000 rows quick to scroll.
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 4);
    m_table->horizontalHeader()->setStretchLastSection(true);
    // Room for the usual contents, and never less than the whole title in the system's font.
    const int widths[kColumnCount] = {95, 110, 100, 50, 190, 65, 200, 200, 80};
    for (int column = 0; column < kColumnCount; ++column) {
        m_table->setColumnWidth(
            column, std::max(widths[column], m_table->horizontalHeader()->sectionSizeHint(column)));
    }

    auto* buttons = new QHBoxLayout;
    m_pause = AddButton(*buttons, "Pauza", "Pauza");
    QPushButton* clear = AddButton(*buttons, "Wyczyść", "Wyczyść");
    QPushButton* copy = AddButton(*buttons, "Kopiuj", "Kopiuj zaznaczone wiersze");
    QPushButton* save = AddButton(*buttons, "Zapisz…", "Zapisz wiersze");
    m_hidePolls = new QCheckBox(QStringLiteral("Ukryj odczyty pomiaru"));
    m_hidePolls->setAccessibleName(QStringLiteral("Ukryj odczyty pomiaru"));
    buttons->addWidget(m_hidePolls);
    buttons->addStretch();

    m_status = new CStatusLineLabel;
    m_status->setAccessibleName(QStringLiteral("Statystyka łącza"));
    // Plain, not selectable: a selectable label lays its text out as a document on every
    // change, which cost more than the table's new rows.

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_table, 1);
    layout->addLayout(buttons);
    layout->addWidget(m_status);
    setTabOrder(m_table, m_pause);
    setTabOrder(m_pause, clear);
    setTabOrder(clear, copy);
    setTabOrder(copy, save);
    setTabOrder(save, m_hidePolls);

    connect(m_pause, &QPushButton::clicked, this, [this] { TogglePause(); });
    connect(clear, &QPushButton::clicked, this, [this] {
        m_model->Clear();
        UpdateStatus();
    });
    connect(copy, &QPushButton::clicked, this, [this] { Copy(); });
    connect(save, &QPushButton::clicked, this, [this] { Save(); });
    connect(m_hidePolls, &QCheckBox::toggled, this, [this](bool hide) {
        m_model->SetHidePolls(hide);
        m_table->scrollToBottom();
    });
    auto* copyShortcut = new QShortcut(QKeySequence::Copy, m_table);
    copyShortcut->setContext(Qt::WidgetShortcut);
    connect(copyShortcut, &QShortcut::activated, this, [this] { Copy(); });

    m_batchTimer.setSingleShot(true);
    connect(&m_batchTimer, &QTimer::timeout, this, [this] { (void)Tick(); }); // may be empty
    m_quietTimer.setInterval(kQuietTickMs);
    connect(&m_quietTimer, &QTimer::timeout, this, [this] { (void)Tick(); }); // may be empty
    UpdateStatus();
}

CLineMonitorWnd::~CLineMonitorWnd() {
    m_trace->Listen(false);
}

void CLineMonitorWnd::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) {
        return; // restored from the task bar: it never stopped
    }
    m_trace->Listen(true);
    m_quietTimer.start();
}

void CLineMonitorWnd::Wake() {
    if (m_quietTimer.isActive() && !m_batchTimer.isActive()) {
        m_batchTimer.start(kTickMs);
    }
}

void CLineMonitorWnd::TakeNow() {
    if (!m_quietTimer.isActive()) {
        return; // closed
    }
    const qint64 since = m_sinceBatch.isValid() ? m_sinceBatch.elapsed() : kTickMs;
    if (since >= kTickMs) {
        (void)Tick(); // an event row or the answer's own frames: there is something
    } else if (!m_batchTimer.isActive() || m_batchTimer.remainingTime() > kTickMs - since) {
        m_batchTimer.start(static_cast<int>(kTickMs - since));
    }
}

void CLineMonitorWnd::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (event->spontaneous()) {
        return; // minimised: the trace goes on
    }
    // Back to no cost; what the trace still holds is read now, not left for the next opening.
    m_trace->Listen(false);
    m_batchTimer.stop();
    m_quietTimer.stop();
    (void)Tick(); // whether there was anything left does not matter
}

bool CLineMonitorWnd::Tick() {
    m_batchTimer.stop();
    if (m_quietTimer.isActive()) {
        m_quietTimer.start(); // traffic keeps the quiet look away
    }
    (void)m_trace->Drain(m_records); // how many is seen in the vector
    std::vector<MonitorRecord> rows = m_monitor.Take(m_records);
    if (rows.empty()) {
        return false;
    }
    m_sinceBatch.start();
    // Follows the end unless the user has scrolled up to read.
    const bool following = m_table->ShowsEnd();
    m_table->Batch([&] {
        m_model->Append(rows);
        if (following) {
            m_table->FollowEnd();
        }
    });
    UpdateStatus();
    return true;
}

void CLineMonitorWnd::TogglePause() {
    const bool paused = !m_rows.Paused();
    m_rows.SetPaused(paused);
    m_pause->setText(paused ? QStringLiteral("Wznów") : QStringLiteral("Pauza"));
    m_pause->setAccessibleName(m_pause->text());
    UpdateStatus();
}

void CLineMonitorWnd::CountFromNow() {
    m_monitor.CountFromNow();
    UpdateStatus();
}

void CLineMonitorWnd::UpdateStatus() {
    // The figures of a connection the window saw from its start, or only since it was opened.
    QString text = m_monitor.CountsSinceConnect() ? QStringLiteral("Od połączenia: ")
                                                  : QStringLiteral("Od otwarcia okna: ");
    text += QString::fromStdString(m_monitor.Stats().Text());
    text += QStringLiteral("\nWiersze %1").arg(m_rows.Count());
    if (m_rows.Dropped() != 0) {
        text += QStringLiteral(", usunięte najstarsze %1").arg(m_rows.Dropped());
    }
    if (m_rows.HeldBack() != 0) {
        text += QStringLiteral(", pominięte w pauzie %1").arg(m_rows.HeldBack());
    }
    if (m_trace->Lost() != 0) {
        text += QStringLiteral(", utracone %1").arg(m_trace->Lost());
    }
    m_status->SetStatus(text);
}

void CLineMonitorWnd::Copy() {
    QModelIndexList selected = m_table->selectionModel()->selectedRows();
    std::sort(selected.begin(), selected.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::string text;
    for (const QModelIndex& index : selected) {
        text += RowLine(m_rows.Visible(static_cast<std::size_t>(index.row()))) + "\n";
    }
    if (!text.empty()) {
        QApplication::clipboard()->setText(QString::fromStdString(text));
    }
}

QString CLineMonitorWnd::DefaultSavePath() {
    return QFileDialog::getSaveFileName(this, QStringLiteral("Zapisz podgląd transmisji"), {},
                                        QStringLiteral("Tekst (*.txt);;CSV (*.csv)"), nullptr,
                                        QFileDialog::DontUseNativeDialog);
}

void CLineMonitorWnd::Save() {
    const QString path = askSavePath ? askSavePath() : QString();
    if (path.isEmpty()) {
        return;
    }
    std::error_code error;
    if (!SaveMonitorRows(m_rows, path.toStdString(), error)) {
        AfxMessageBox(CannotWriteFileText(path.toStdString(), error), MB_OK | MB_ICONEXCLAMATION);
    }
}

QTableView* CLineMonitorWnd::Table() const {
    return m_table;
}

QLabel* CLineMonitorWnd::StatusLine() const {
    return m_status;
}
