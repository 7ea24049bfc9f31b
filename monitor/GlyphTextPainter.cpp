#include "GlyphTextPainter.h"

#include <QGlyphRun>
#include <QPainter>
#include <QRect>
#include <QString>

void CGlyphTextPainter::Prepare(const QFont& font) {
    if (m_raw.isValid() && font == m_font) {
        return;
    }
    m_font = font;
    m_raw = QRawFont::fromFont(font);
    m_glyphs.assign(kTableEnd, Glyph{});
}

const CGlyphTextPainter::Glyph* CGlyphTextPainter::Lookup(char16_t c) {
    if (c >= kTableEnd || (c >= 0x0080 && c < 0x00A0)) {
        return nullptr; // beyond the table, or a control character
    }
    Glyph& glyph = m_glyphs[c];
    if (glyph.advance < 0) {
        const QList<quint32> indexes = m_raw.glyphIndexesForString(QString(QChar(c)));
        glyph.index = indexes.isEmpty() ? 0 : indexes.front();
        const QList<QPointF> advances = m_raw.advancesForGlyphIndexes(QList<quint32>{glyph.index});
        glyph.advance = advances.isEmpty() ? 0 : advances.front().x();
    }
    // Glyph 0 stands for a character the font lacks: another font would draw it.
    return glyph.index != 0 || c == u' ' ? &glyph : nullptr;
}

bool CGlyphTextPainter::Draw(QPainter& painter, const QFont& font, const QRect& rect,
                             Qt::Alignment alignment, const QString& text) {
    return Draw(painter, font, rect, alignment, text, QRect());
}

bool CGlyphTextPainter::Edges(const QFont& font, const QString& text, std::vector<double>& edges) {
    Prepare(font);
    edges.clear();
    if (!m_raw.isValid()) {
        return false;
    }
    qreal x = 0;
    for (const QChar c : text) {
        const Glyph* glyph = Lookup(c.unicode());
        if (glyph == nullptr) {
            return false;
        }
        edges.push_back(x);
        x += glyph->advance;
    }
    edges.push_back(x);
    return true;
}

bool CGlyphTextPainter::Draw(QPainter& painter, const QFont& font, const QRect& rect,
                             Qt::Alignment alignment, const QString& text, const QRect& exposed) {
    Prepare(font);
    if (!m_raw.isValid()) {
        return false;
    }
    m_indexes.clear();
    m_positions.clear();
    qreal x = 0;
    for (const QChar c : text) {
        const Glyph* glyph = Lookup(c.unicode());
        if (glyph == nullptr) {
            return false;
        }
        if (x + glyph->advance > rect.width()) {
            break; // the rest would not be seen
        }
        m_indexes.append(glyph->index);
        m_positions.append(QPointF(x, 0));
        x += glyph->advance;
    }
    if (m_indexes.isEmpty()) {
        return true;
    }
    const qreal left = (alignment & Qt::AlignRight) != 0 ? rect.right() + 1 - x : rect.left();
    if (exposed.isValid()) {
        // A glyph may reach a little beyond its advance: a pixel or two of slack.
        const qreal from = exposed.left() - left - 2;
        const qreal to = exposed.right() + 1 - left + 2;
        qsizetype kept = 0;
        for (qsizetype i = 0; i < m_indexes.size(); ++i) {
            const qreal end = i + 1 < m_positions.size() ? m_positions[i + 1].x() : x;
            if (end >= from && m_positions[i].x() <= to) {
                m_indexes[kept] = m_indexes[i];
                m_positions[kept] = m_positions[i];
                ++kept;
            }
        }
        m_indexes.resize(kept);
        m_positions.resize(kept);
        if (kept == 0) {
            return true;
        }
    }
    const qreal baseline =
        rect.top() + (rect.height() - (m_raw.ascent() + m_raw.descent())) / 2 + m_raw.ascent();
    QGlyphRun run;
    run.setRawFont(m_raw);
    run.setGlyphIndexes(m_indexes);
    run.setPositions(m_positions);
    painter.drawGlyphRun(QPointF(left, qRound(baseline)), run);
    return true;
}
