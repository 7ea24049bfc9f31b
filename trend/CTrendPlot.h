#pragma once

#include "TrendRing.h"
#include "TrendStatistics.h"

#include <QWidget>

#include <cstddef>
#include <cstdint>

// The speed over a stretch of time, drawn with QPainter: time in local time across, m/s up,
// gaps as breaks in the line, readings flagged as a device failure marked in red, the gust as
// an orange bar over its 3-second window.
class CTrendPlot : public QWidget {
public:
    // Readings further apart than this are not joined: something was missed between them.
    static constexpr std::int64_t kBreakAfterMs = 5000;
    // The speed axis shows at least this range, so that a steady wind is no jagged line.
    static constexpr double kMinimumSpan = 2.0;

    explicit CTrendPlot(QWidget* parent = nullptr);

    // Points [first, end) of the ring across [startMs, endMs]; the ring must outlive the view.
    void SetView(const CTrendRing* ring, std::size_t first, std::size_t end, std::int64_t startMs,
                 std::int64_t endMs, const TrendStatistics& stats);

    QSize sizeHint() const override { return {560, 280}; }
    QSize minimumSizeHint() const override { return {240, 140}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const CTrendRing* m_pRing = nullptr;
    std::size_t m_first = 0;
    std::size_t m_end = 0;
    std::int64_t m_startMs = 0;
    std::int64_t m_endMs = 1;
    TrendStatistics m_stats;
};

// The speed axis for data from low to high: at least `minimumSpan` wide, ends on multiples of
// its step, from zero when the data is not negative.
struct SpeedAxis {
    double low;
    double high;
    double step;
};
SpeedAxis ChooseSpeedAxis(double low, double high, double minimumSpan);
