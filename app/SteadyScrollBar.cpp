#include "SteadyScrollBar.h"

#include <QStyle>
#include <QStyleOptionSlider>

void CSteadyScrollBar::sliderChange(SliderChange change) {
    const bool figures =
        change == SliderRangeChange || change == SliderStepsChange || change == SliderValueChange;
    if (!figures || !m_everPainted) {
        QScrollBar::sliderChange(change);
        return;
    }
    // Looked at once the changes of the moment are done: a range that grows moves the value
    // off the end until the table follows it there again.
    if (!m_checkQueued) {
        m_checkQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_checkQueued = false;
                if (!(CurrentLook() == m_painted)) {
                    update();
                }
            },
            Qt::QueuedConnection);
    }
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
