#pragma once

#include <QLabel>

// A status line of a few lines of figures that change often. Its size does not follow its
// text, so that a new figure repaints the line without measuring it and laying out the window
// again; its lines are drawn from cached glyphs, and a new text repaints only the characters
// that changed (a count that grew, a new mean), not the whole line.
// The label holds the text for screen readers; the lines are drawn by an opaque face over it,
// since a label repaints all of itself at every new text.
class CStatusLineLabel : public QLabel {
public:
    explicit CStatusLineLabel(int lineCount = 2, QWidget* parent = nullptr);

    // Takes the text (lines split at '\n') and repaints what of it changed.
    void SetStatus(const QString& text);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    // What draws the lines.
    QWidget* Face() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    class CFace;

    int m_lineCount;
    CFace* m_face;
};
