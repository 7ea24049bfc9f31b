#pragma once

#include "SteadyScrollBar.h"

#include <QTableView>

// A table that takes rows appended at its end without laying out and repainting all it shows:
// the scroll range grows, only rows that land in sight are painted, and following the end
// scrolls the pixels already drawn. Any other change of the row count takes the full path.
//
// Following the end jumps: where a new row would fall below the view, the rows move up so far
// that the newest stands half a page above the bottom, and the rows that come next land in the
// room left below it. Rows stand still for a while instead of creeping up a row at a time, which
// makes them easier to read and saves moving every pixel of the view with every row.
class CMonitorTableView : public QTableView {
public:
    explicit CMonitorTableView(QWidget* parent = nullptr);

    // Runs `change` (rows appended, the end followed) with the vertical scroll bar repainted at
    // most once, at the end.
    template <class Change> void Batch(Change&& change) {
        m_bar->Hold(true);
        change();
        m_bar->Hold(false);
    }

    // Whether appended rows take the light path (false: the table lays out as usual).
    bool AppendsLightly() const { return m_light; }

    // Whether the last row is wholly in sight.
    bool ShowsEnd() const;
    // Brings the last row into sight, jumping as above where rows scroll one at a time.
    void FollowEnd();

protected:
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;

private:
    void OnRowCountChanged(int oldCount, int newCount);
    // The oldest rows went: the rows in sight keep their place on screen, only their numbers go
    // down. False where that cannot be done lightly.
    bool DropFrontLightly(int removed);
    // The vertical range for the rows as they are, as the table's own layout would set it, but
    // keeping the room below the last row that a jump made; false where that layout has more to
    // do (the rows fit, or rows scroll by pixels).
    bool UpdateRowRange();
    // That range's end; `removed` rows just went from the front.
    int RangeEnd(int removed) const;
    // How many rows at the end fit wholly in the view.
    int RowsFittingAtEnd() const;
    // The first row in sight when the last row stands at the bottom.
    int EndValue() const;
    // The first row in sight after a jump: the last row stands half a page above the bottom.
    int JumpValue() const;

    CSteadyScrollBar* m_bar;
    bool m_light = false;
    bool m_barNeeded = false; // whether the vertical range last asked for a scroll bar
    int m_leavingAtFront = 0; // rows about to go from the front, and the height they had with them
    int m_lengthBeforeLeaving = 0;
    bool m_autoScrollHeld = false;
};
