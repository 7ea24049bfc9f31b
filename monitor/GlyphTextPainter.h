#pragma once

#include <QFont>
#include <QList>
#include <QPointF>
#include <QRawFont>

#include <vector>

class QPainter;
class QRect;
class QString;

// Draws short one-line texts in one font from glyphs looked up once per character, without the
// full text layout (script runs, shaping, font fallback) that QPainter::drawText does for every
// call. The monitor repaints its new rows and its status line at every batch; laying out each
// text again cost more than all the rest of it. Texts are cut at the last whole glyph that fits.
class CGlyphTextPainter {
public:
    // False, and nothing drawn, where the font lacks a character or one needs shaping (marks,
    // scripts beyond the European ones): the caller then draws the text the usual way.
    bool Draw(QPainter& painter, const QFont& font, const QRect& rect, Qt::Alignment alignment,
              const QString& text);
    // The same, leaving out glyphs wholly outside `exposed` left and right: the rest of the
    // line is already on screen.
    bool Draw(QPainter& painter, const QFont& font, const QRect& rect, Qt::Alignment alignment,
              const QString& text, const QRect& exposed);
    // Where each character of a left-aligned text starts, and where the text ends; false where
    // Draw would be false.
    bool Edges(const QFont& font, const QString& text, std::vector<double>& edges);

private:
    struct Glyph {
        quint32 index = 0;
        qreal advance = -1; // < 0: not looked up yet
    };
    // Characters below this are plain letters, digits and signs in the fonts in use.
    static constexpr char16_t kTableEnd = 0x0250;

    void Prepare(const QFont& font);
    const Glyph* Lookup(char16_t c);

    QFont m_font;
    QRawFont m_raw;
    std::vector<Glyph> m_glyphs; // by character, up to kTableEnd
    QList<quint32> m_indexes;    // reused from call to call
    QList<QPointF> m_positions;
};
