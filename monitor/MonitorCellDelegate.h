#pragma once

#include "CellImageCache.h"
#include "GlyphTextPainter.h"

#include <QStyledItemDelegate>

// The line monitor's cells: plain text, drawn from cached glyphs where the font has them, and the
// columns whose texts repeat from row to row copied from cached images. A table that takes rows
// every second should cost next to nothing to repaint.
class CMonitorCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    void DrawText(QPainter& painter, const QFont& font, const QRect& cell, Qt::Alignment alignment,
                  const QString& text) const;

    // Caches: painting stays what it was.
    mutable CGlyphTextPainter m_glyphs;
    mutable CCellImageCache m_cells{64};
};
