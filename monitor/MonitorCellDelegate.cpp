#include "MonitorCellDelegate.h"

#include "RowText.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace {

// Columns whose texts come again and again; the times, bytes and readings seldom do, and an
// image made for a text never seen again costs more than drawing it.
bool Repeats(int column) {
    return column == kColumnDirection || column == kColumnAddress || column == kColumnCommand ||
           column == kColumnLength || column == kColumnCheck;
}

} // namespace

void CMonitorCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    const bool selected = (option.state & QStyle::State_Selected) != 0;
    const QColor foreground =
        selected ? option.palette.highlightedText().color() : option.palette.text().color();
    const QVariant alignment = index.data(Qt::TextAlignmentRole);
    const Qt::Alignment align =
        alignment.isValid() ? Qt::Alignment(alignment.toInt()) : Qt::AlignLeft;
    const QString cell = index.data().toString();
    const auto draw = [&](QPainter& target, const QRect& rect) {
        DrawText(target, option.font, rect, align, cell);
    };
    if (Repeats(index.column())) {
        // The unselected background is the view's own: the image repeats it.
        m_cells.Draw(*painter, option.rect,
                     selected ? option.palette.highlight() : option.palette.base(), foreground,
                     option.font, cell, draw);
    } else {
        if (selected) {
            painter->fillRect(option.rect, option.palette.highlight());
        }
        painter->setPen(foreground);
        draw(*painter, option.rect);
    }
    if ((option.state & QStyle::State_HasFocus) != 0) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.backgroundColor = option.palette.base().color();
        QApplication::style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter);
    }
}

void CMonitorCellDelegate::DrawText(QPainter& painter, const QFont& font, const QRect& cell,
                                    Qt::Alignment alignment, const QString& text) const {
    const QRect rect = cell.adjusted(3, 0, -3, 0);
    if (!m_glyphs.Draw(painter, font, rect, alignment, text)) {
        painter.setFont(font);
        painter.drawText(rect, static_cast<int>(alignment) | Qt::AlignVCenter | Qt::TextSingleLine,
                         text);
    }
}
