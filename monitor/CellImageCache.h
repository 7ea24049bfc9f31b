#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

class QPainter;
class QRect;

// Cells whose texts come again and again (a direction, an address, a command's name) drawn once
// into an image and copied after that: copying a cell's pixels costs a fraction of blending
// each of its glyphs anew. The images are opaque, on the cell's background, so a cell comes out
// as drawing it on that background gives. The least recently used image goes first.
class CCellImageCache {
public:
    using DrawText = std::function<void(QPainter&, const QRect&)>;

    explicit CCellImageCache(std::size_t capacity) : m_capacity(capacity) {}

    // Fills `cell` with `background` and draws into it with `draw` (the painter set up with
    // `font` and `foreground`), or copies what an earlier call drew for the same text, size and
    // colours. A background that is not one plain colour is drawn directly, every time.
    void Draw(QPainter& painter, const QRect& cell, const QBrush& background,
              const QColor& foreground, const QFont& font, const QString& text,
              const DrawText& draw);

    std::size_t Size() const { return m_entries.size(); }

private:
    struct Entry {
        QString text;
        QFont font;
        QRgb background = 0;
        QRgb foreground = 0;
        QImage image; // its size and pixel ratio are part of the key
        std::uint64_t lastUse = 0;
    };

    const std::size_t m_capacity;
    std::vector<Entry> m_entries;
    std::uint64_t m_uses = 0;
};
