#include "StatusLineLabel.h"

#include "GlyphTextPainter.h"
#include "TextChangeSpans.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

namespace {

constexpr int kInset = 1;

std::u16string_view View(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

} // namespace

// Opaque and covering the whole label, so that only what it is asked to repaint is painted.
class CStatusLineLabel::CFace : public QWidget {
public:
    explicit CFace(QWidget* parent) : QWidget(parent) {
        setAutoFillBackground(true);
        setBackgroundRole(QPalette::Window);
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    void SetLines(const QStringList& lines) {
        QRegion changed;
        for (qsizetype i = 0; i < std::max(lines.size(), m_lines.size()); ++i) {
            const QString before = i < m_lines.size() ? m_lines[i] : QString();
            const QString after = i < lines.size() ? lines[i] : QString();
            if (before != after) {
                changed += ChangedArea(LineRect(static_cast<int>(i)), before, after);
            }
        }
        m_lines = lines;
        update(changed);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::WindowText));
        // Each changed place on its own: a new count at the start of a line and a new mean at
        // its end leave the glyphs between them alone.
        for (const QRect& exposed : event->region()) {
            for (qsizetype i = 0; i < m_lines.size(); ++i) {
                const QRect line = LineRect(static_cast<int>(i));
                if (!line.intersects(exposed) ||
                    m_glyphs.Draw(painter, font(), line, Qt::AlignLeft, m_lines[i], exposed)) {
                    continue;
                }
                painter.setFont(font()); // a character beyond the cache: as a label draws it
                painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                                 m_lines[i]);
            }
        }
    }

private:
    QRect LineRect(int line) const {
        const int height = fontMetrics().lineSpacing();
        return {kInset, kInset + line * height, width() - 2 * kInset, height};
    }

    QRegion ChangedArea(const QRect& line, const QString& before, const QString& after) {
        if (!m_glyphs.Edges(font(), before, m_beforeEdges) ||
            !m_glyphs.Edges(font(), after, m_afterEdges)) {
            return line;
        }
        QRegion area;
        for (const TextSpan& span :
             ChangedSpans(View(before), m_beforeEdges, View(after), m_afterEdges)) {
            // Whole pixels, with two of slack for glyphs that reach beyond their advance.
            const int left = line.left() + static_cast<int>(std::floor(span.left)) - 2;
            const int right = line.left() + static_cast<int>(std::ceil(span.right)) + 2;
            area += QRect(left, line.top(), right - left, line.height()) & line;
        }
        return area;
    }

    CGlyphTextPainter m_glyphs;
    QStringList m_lines;
    std::vector<double> m_beforeEdges; // reused from change to change
    std::vector<double> m_afterEdges;
};

CStatusLineLabel::CStatusLineLabel(int lineCount, QWidget* parent)
    : QLabel(parent), m_lineCount(lineCount), m_face(new CFace(this)) {}

QSize CStatusLineLabel::sizeHint() const {
    return {0, m_lineCount * fontMetrics().lineSpacing() + 2 * kInset};
}

void CStatusLineLabel::SetStatus(const QString& text) {
    if (text == this->text()) {
        return;
    }
    setText(text); // for screen readers; covered by the face, it paints nothing
    m_face->SetLines(text.split(u'\n'));
}

void CStatusLineLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    m_face->setGeometry(rect());
}

QWidget* CStatusLineLabel::Face() const {
    return m_face;
}
