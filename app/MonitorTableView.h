#pragma once

#include "SteadyScrollBar.h"

#include <QTableView>

// A table that takes rows appended at its end without laying out and repainting all it shows:
// the scroll range grows, only rows that land in sight are painted, and following the end
// scrolls the pixels already drawn. Any other change of the row count takes the full path.
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

private:
    void OnRowCountChanged(int oldCount, int newCount);
    // The vertical range for the rows as they are, as the table's own layout would set it;
    // false where that layout has more to do (the rows fit, or rows scroll by pixels).
    bool UpdateRowRange();

    CSteadyScrollBar* m_bar;
    bool m_light = false;
    bool m_barNeeded = false; // whether the vertical range last asked for a scroll bar
};
