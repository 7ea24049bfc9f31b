#include "MonitorTableView.h"

#include <QHeaderView>
#include <QScrollBar>

CMonitorTableView::CMonitorTableView(QWidget* parent)
    : QTableView(parent), m_bar(new CSteadyScrollBar(Qt::Vertical)) {
    setVerticalScrollBar(m_bar);
    // The scroll area lays out its children again after every change of a range, which raises
    // both scroll bars and so repaints them; a range that grows by a row changes nothing of
    // that layout unless the bar comes or goes.
    if (QObject::disconnect(verticalScrollBar(), SIGNAL(rangeChanged(int, int)), this,
                            SLOT(_q_showOrHideScrollBars()))) {
        m_barNeeded = verticalScrollBar()->maximum() > verticalScrollBar()->minimum();
        connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, [this](int min, int max) {
            if ((max > min) != m_barNeeded) {
                m_barNeeded = max > min;
                (void)QMetaObject::invokeMethod(this, "_q_showOrHideScrollBars",
                                                Qt::QueuedConnection); // found: disconnected above
            }
        });
    }
    // The table relays out everything and repaints the whole viewport on any change of the row
    // count; a row a second would cost a full repaint a second. Where the connection is not the
    // one expected, the table keeps its own behaviour.
    m_light = QObject::disconnect(verticalHeader(), SIGNAL(sectionCountChanged(int, int)), this,
                                  SLOT(rowCountChanged(int, int)));
    if (m_light) {
        connect(verticalHeader(), &QHeaderView::sectionCountChanged, this,
                [this](int oldCount, int newCount) { OnRowCountChanged(oldCount, newCount); });
    }
}

void CMonitorTableView::OnRowCountChanged(int oldCount, int newCount) {
    if (newCount <= oldCount || oldCount == 0) {
        rowCountChanged(oldCount, newCount); // rows gone or a first fill: the full path
        return;
    }
    // Not updateGeometries(): it sets the viewport margins again, which raises both scroll bars
    // and so repaints them and the horizontal one too, although nothing of them changed.
    if (!UpdateRowRange()) {
        updateGeometries();
    }
    const int top = rowViewportPosition(oldCount - 1) + rowHeight(oldCount - 1);
    if (top < viewport()->height()) {
        viewport()->update(0, top, viewport()->width(), viewport()->height() - top);
    }
}

bool CMonitorTableView::UpdateRowRange() {
    const QHeaderView& rows = *verticalHeader();
    if (verticalScrollMode() != ScrollPerItem || rows.length() <= maximumViewportSize().height()) {
        return false;
    }
    // Rows scroll one at a time: the range ends where the last rows that fit wholly start.
    const int rowCount = rows.count();
    const int viewportHeight = viewport()->height();
    int fitting = 0;
    for (int height = 0, row = rowCount - 1; row >= 0; --row) {
        const int logical = rows.logicalIndex(row);
        if (rows.isSectionHidden(logical)) {
            continue;
        }
        height += rows.sectionSize(logical);
        if (height > viewportHeight) {
            break;
        }
        ++fitting;
    }
    verticalScrollBar()->setRange(0, rowCount - fitting);
    verticalScrollBar()->setPageStep(fitting);
    return true;
}
