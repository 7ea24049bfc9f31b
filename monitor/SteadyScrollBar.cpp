#include "SteadyScrollBar.h"

#include <QStyle>
#include <QStyleOptionSlider>

void CSteadyScrollBar::Hold(bool hold) {
    m_held = hold;
    if (!hold && m_changedWhileHeld) {
        m_changedWhileHeld = false;
        RepaintChange();
    }
}

void CSteadyScrollBar::RepaintChange() {
    const Look look = CurrentLook();
    if (!m_everPainted || look.atMinimum != m_painted.atMinimum ||
        look.atMaximum != m_painted.atMaximum) {
        update();
    } else if (!(look == m_painted)) {
        // Only the slider moved: where it was and where it is now (the groove paints the same
        // whatever part of it is asked for), with the lines a style draws around a slider.
        constexpr int kOutline = 3;
        update(look.slider.united(m_painted.slider)
                   .adjusted(-kOutline, -kOutline, kOutline, kOutline)
                   .intersected(rect()));
    }
}

void CSteadyScrollBar::sliderChange(SliderChange change) {
    const bool figures =
        change == SliderRangeChange || change == SliderStepsChange || change == SliderValueChange;
    if (figures && m_held) {
        m_changedWhileHeld = true;
        return;
    }
    if (figures && m_everPainted) {
        RepaintChange(); // nothing where the pixels already show it (or a paint on its way will)
        return;
    }
    QScrollBar::sliderChange(change);
}

void CSteadyScrollBar::paintEvent(QPaintEvent* event) {
    m_painted = CurrentLook();
    m_everPainted = true;
    QScrollBar::paintEvent(event);
}

CSteadyScrollBar::Look CSteadyScrollBar::CurrentLook() const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    Look look;
    look.slider =
        style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
    look.atMinimum = value() == minimum();
    look.atMaximum = value() == maximum();
    return look;
}
