#pragma once

#include <QRect>
#include <QScrollBar>

// A scroll bar that repaints on a change of its range, steps or value only when what it shows
// changes: the slider's place and length, and whether it stands at either end. A table that
// grows by a row a second moves its slider by a pixel now and then, and a bar costs more to
// paint than the row.
class CSteadyScrollBar : public QScrollBar {
public:
    explicit CSteadyScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr)
        : QScrollBar(orientation, parent) {}

    // While held, changes of range, steps and value are only noted; released, the bar repaints
    // once if they changed what it shows. A batch of rows moves the value off the end and back.
    void Hold(bool hold);

protected:
    void sliderChange(SliderChange change) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct Look {
        QRect slider;
        bool atMinimum = false;
        bool atMaximum = false;
        bool operator==(const Look&) const = default;
    };
    Look CurrentLook() const;
    void RepaintChange();

    Look m_painted;
    bool m_everPainted = false;
    bool m_held = false;
    bool m_changedWhileHeld = false;
};
