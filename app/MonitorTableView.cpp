#include "MonitorTableView.h"

#include <QHeaderView>
#include <QScrollBar>

CMonitorTableView::CMonitorTableView(QWidget* parent) : QTableView(parent) {
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
    updateGeometries(); // the scroll range
    const int top = rowViewportPosition(oldCount - 1) + rowHeight(oldCount - 1);
    if (top < viewport()->height()) {
        viewport()->update(0, top, viewport()->width(), viewport()->height() - top);
    }
}
