#include "CellImageCache.h"

#include <QPaintDevice>
#include <QPainter>
#include <QRect>

#include <algorithm>

void CCellImageCache::Draw(QPainter& painter, const QRect& cell, const QBrush& background,
                           const QColor& foreground, const QFont& font, const QString& text,
                           const DrawText& draw) {
    if (background.style() != Qt::SolidPattern || m_capacity == 0 || cell.isEmpty()) {
        painter.fillRect(cell, background);
        painter.setPen(foreground);
        painter.setFont(font);
        draw(painter, cell);
        return;
    }
    const qreal ratio = painter.device() != nullptr ? painter.device()->devicePixelRatio() : 1.0;
    const QSize pixels = (QSizeF(cell.size()) * ratio).toSize();
    const QRgb back = background.color().rgba();
    const QRgb fore = foreground.rgba();
    auto found = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& entry) {
        return entry.image.size() == pixels && entry.image.devicePixelRatio() == ratio &&
               entry.background == back && entry.foreground == fore && entry.text == text &&
               entry.font == font;
    });
    if (found == m_entries.end()) {
        if (m_entries.size() < m_capacity) {
            found = m_entries.insert(m_entries.end(), Entry{});
        } else {
            found = std::min_element(
                m_entries.begin(), m_entries.end(),
                [](const Entry& a, const Entry& b) { return a.lastUse < b.lastUse; });
        }
        // Opaque, as the window's own pixels are: the glyphs blend as they would there.
        QImage image(pixels, QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        image.fill(background.color());
        QPainter imagePainter(&image);
        imagePainter.setPen(foreground);
        imagePainter.setFont(font);
        draw(imagePainter, QRect(QPoint(0, 0), cell.size()));
        imagePainter.end();
        *found = Entry{text, font, back, fore, std::move(image), 0};
    }
    found->lastUse = ++m_uses;
    painter.drawImage(cell.topLeft(), found->image);
}
