#include "MonitorTableView.h"

#include <QHeaderView>
#include <QScrollBar>

#include <algorithm>
#include <utility>

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

void CMonitorTableView::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) {
    m_leavingAtFront = !parent.isValid() && start == 0 ? end + 1 : 0;
    m_lengthBeforeLeaving = verticalHeader()->length();
    // A current row that goes hands its place to the next row that stays, and the table would
    // scroll to it: to the oldest rows, away from where the user is reading or following. Held
    // until the rows have gone (see OnRowCountChanged).
    if (m_light && m_leavingAtFront != 0 && hasAutoScroll()) {
        m_autoScrollHeld = true;
        setAutoScroll(false);
    }
    QTableView::rowsAboutToBeRemoved(parent, start, end);
}

void CMonitorTableView::OnRowCountChanged(int oldCount, int newCount) {
    const int leftFront = std::exchange(m_leavingAtFront, 0);
    if (std::exchange(m_autoScrollHeld, false)) {
        setAutoScroll(true);
    }
    if (newCount < oldCount && leftFront == oldCount - newCount && DropFrontLightly(leftFront)) {
        return;
    }
    if (newCount <= oldCount || oldCount == 0) {
        rowCountChanged(oldCount, newCount); // rows gone or a first fill: the full path
        return;
    }
    // Not updateGeometries(): it sets the viewport margins again, which raises both scroll bars
    // and so repaints them and the horizontal one too, although nothing of them changed.
    if (!UpdateRowRange()) {
        updateGeometries();
    }
    // Only where the new rows land: below them the view is empty already.
    const int top = rowViewportPosition(oldCount - 1) + rowHeight(oldCount - 1);
    const int bottom = rowViewportPosition(newCount - 1) + rowHeight(newCount - 1);
    if (top < viewport()->height() && bottom > top) {
        viewport()->update(0, top, viewport()->width(),
                           std::min(bottom, viewport()->height()) - top);
    }
}

int CMonitorTableView::RowsFittingAtEnd() const {
    const QHeaderView& rows = *verticalHeader();
    const int viewportHeight = viewport()->height();
    int fitting = 0;
    for (int height = 0, row = rows.count() - 1; row >= 0; --row) {
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
    return fitting;
}

int CMonitorTableView::EndValue() const {
    return verticalHeader()->count() - RowsFittingAtEnd();
}

int CMonitorTableView::JumpValue() const {
    return std::min(EndValue() + RowsFittingAtEnd() / 2, verticalHeader()->count() - 1);
}

int CMonitorTableView::RangeEnd(int removed) const {
    // Rows scroll one at a time: the range ends where the last rows that fit wholly start, or
    // where a jump left room below the last row, until new rows have filled that room.
    const int count = verticalHeader()->count();
    return std::max(EndValue(), std::min(verticalScrollBar()->maximum() - removed, count - 1));
}

bool CMonitorTableView::UpdateRowRange() {
    const QHeaderView& rows = *verticalHeader();
    if (verticalScrollMode() != ScrollPerItem || rows.length() <= maximumViewportSize().height()) {
        return false;
    }
    verticalScrollBar()->setRange(0, RangeEnd(0));
    verticalScrollBar()->setPageStep(RowsFittingAtEnd());
    return true;
}

bool CMonitorTableView::DropFrontLightly(int removed) {
    QScrollBar& bar = *verticalScrollBar();
    QHeaderView& rows = *verticalHeader();
    const int value = bar.value() - removed;
    if (!m_light || verticalScrollMode() != ScrollPerItem || value < 0 ||
        rows.length() <= maximumViewportSize().height()) {
        return false; // rows in sight went, or the rows now fit: laid out anew
    }
    // The header first, so that the table sees no move of the rows when the value follows.
    rows.setOffset(rows.offset() - (m_lengthBeforeLeaving - rows.length()));
    const int end = RangeEnd(removed);
    if (value == end) {
        bar.setRange(0, end); // takes the value down with it
        bar.setValue(end);
    } else {
        bar.setValue(value);
        bar.setRange(0, end);
    }
    return true;
}

void CMonitorTableView::updateGeometries() {
    QScrollBar& bar = *verticalScrollBar();
    const int before = bar.value();
    QTableView::updateGeometries();
    if (!m_light || verticalScrollMode() != ScrollPerItem || before <= bar.maximum() ||
        verticalHeader()->length() <= maximumViewportSize().height()) {
        return; // no room to keep where all rows fit (as after a filter): they start at the top
    }
    // A new layout (a resize, a column made wider) cut away the room a jump left below the last
    // row: kept, as far as it still fits the rule, so that the rows do not jump back and forth.
    const int kept = std::min(before, JumpValue());
    if (kept > bar.maximum()) {
        bar.setRange(0, kept);
        bar.setValue(kept);
        // The rows moved twice before any was painted: what the first move uncovered would be
        // moved unpainted by the second.
        viewport()->update();
    }
}

void CMonitorTableView::scrollContentsBy(int dx, int dy) {
    const QScrollBar& bar = *verticalScrollBar();
    if (!m_light || verticalScrollMode() != ScrollPerItem || bar.value() != bar.maximum() ||
        bar.value() <= EndValue()) {
        QTableView::scrollContentsBy(dx, dy);
        return;
    }
    // At the end of its range the table would pin the last row to the bottom. Where a jump left
    // room below it, the first row in sight is the one the value names, as anywhere else; the
    // pixels move once, as the table moves them.
    if (dx != 0) {
        QTableView::scrollContentsBy(dx, 0);
    }
    QHeaderView& rows = *verticalHeader();
    const int before = rows.offset();
    rows.setOffsetToSectionPosition(bar.value());
    const int moved = before - rows.offset();
    if (moved != 0) {
        scrollDirtyRegion(0, moved);
        viewport()->scroll(0, moved);
    }
}

bool CMonitorTableView::ShowsEnd() const {
    if (verticalScrollMode() != ScrollPerItem) {
        return verticalScrollBar()->value() == verticalScrollBar()->maximum();
    }
    return verticalScrollBar()->value() >= EndValue();
}

void CMonitorTableView::FollowEnd() {
    if (ShowsEnd()) {
        return; // the new rows landed in sight, or in the room a jump left
    }
    if (!m_light || verticalScrollMode() != ScrollPerItem) {
        scrollToBottom();
        return;
    }
    const int jump = JumpValue();
    verticalScrollBar()->setRange(0, std::max(jump, verticalScrollBar()->maximum()));
    verticalScrollBar()->setValue(jump);
}
