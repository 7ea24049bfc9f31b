#include "CellImageCache.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

// A 200 x 60 window-like surface, drawn on at an odd place.
struct Surface {
    Surface() { image.fill(Qt::white); }
    QImage image{200, 60, QImage::Format_RGB32};
};

const QRect kCell(13, 21, 120, 18);

// Draws the cell's text the way the monitor's cells draw it.
void Text(QPainter& painter, const QRect& cell, const QString& text) {
    painter.drawText(cell.adjusted(3, 0, -3, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
}

} // namespace

// A cell copied from the cache shows the pixels drawing it in place gives; the text is drawn
// once per text, size and colour, and the least recently used image makes room.
TEST(CellImageCache, CopiesWhatDrawingInPlaceGivesAndKeepsTheRecentlyUsed) {
    const QFont font = QApplication::font();
    Surface direct;
    {
        QPainter painter(&direct.image);
        painter.fillRect(kCell, QColor(250, 250, 240));
        painter.setPen(Qt::black);
        painter.setFont(font);
        Text(painter, kCell, QStringLiteral("z urządzenia"));
    }
    CCellImageCache cache(2);
    int drawn = 0;
    const auto draw = [&](const QString& text, const QBrush& background = QColor(250, 250, 240),
                          const QColor& foreground = Qt::black) {
        Surface surface;
        QPainter painter(&surface.image);
        cache.Draw(painter, kCell, background, foreground, font, text,
                   [&](QPainter& target, const QRect& cell) {
                       ++drawn;
                       Text(target, cell, text);
                   });
        return surface.image;
    };
    EXPECT_EQ(draw(QStringLiteral("z urządzenia")), direct.image);
    EXPECT_EQ(draw(QStringLiteral("z urządzenia")), direct.image) << "copied";
    EXPECT_EQ(drawn, 1);

    (void)draw(QStringLiteral("z urządzenia"), QColor(250, 250, 240), Qt::white);
    EXPECT_EQ(drawn, 2) << "another colour is another image";
    (void)draw(QStringLiteral("z urządzenia"));
    (void)draw(QStringLiteral("do urządzenia"));
    EXPECT_EQ(drawn, 3) << "the white text made room";
    EXPECT_EQ(cache.Size(), 2u);
    (void)draw(QStringLiteral("z urządzenia"));
    EXPECT_EQ(drawn, 3);

    // A background that is not one colour cannot be copied: drawn every time.
    QLinearGradient gradient(0, 0, 0, 60);
    gradient.setColorAt(0, Qt::white);
    gradient.setColorAt(1, Qt::gray);
    (void)draw(QStringLiteral("z urządzenia"), gradient);
    (void)draw(QStringLiteral("z urządzenia"), gradient);
    EXPECT_EQ(drawn, 5);
}
