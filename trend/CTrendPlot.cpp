#include "CTrendPlot.h"

#include "UiText.h"

#include <QDateTime>
#include <QPaintEvent>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kMaxTicks = 7;
const QColor kLineColor(31, 90, 180);
const QColor kFailureColor(200, 30, 30);
const QColor kGustColor(230, 130, 0);
const QColor kGridColor(220, 220, 220);

// Time steps that read well on a clock, in seconds.
std::int64_t ChooseTimeStepMs(std::int64_t spanMs) {
    static constexpr std::int64_t kSteps[] = {5,   10,  15,   30,   60,   120,  300,
                                              600, 900, 1800, 3600, 7200, 21600};
    for (const std::int64_t step : kSteps) {
        if (spanMs / (step * 1000) <= kMaxTicks) {
            return step * 1000;
        }
    }
    return 43200 * 1000;
}

// The points of one pixel column of the line: its first, lowest, highest and last, in the order
// they came, so that peaks survive however many readings share the column.
class ColumnEnvelope {
public:
    bool Empty() const { return m_count == 0; }

    void Add(const QPointF& at, QPolygonF& into) {
        const int column = static_cast<int>(std::floor(at.x()));
        if (m_count > 0 && column != m_column) {
            Flush(into);
        }
        if (m_count == 0) {
            m_column = column;
            m_first = m_low = m_high = at;
            m_lowIndex = m_highIndex = 0;
        } else {
            // Screen y grows downwards: the lowest speed has the largest y.
            if (at.y() > m_low.y()) {
                m_low = at;
                m_lowIndex = m_count;
            }
            if (at.y() < m_high.y()) {
                m_high = at;
                m_highIndex = m_count;
            }
        }
        m_last = at;
        ++m_count;
    }

    void Flush(QPolygonF& into) {
        if (m_count == 0) {
            return;
        }
        into.append(m_first);
        if (m_count > 2) {
            const bool lowFirst = m_lowIndex < m_highIndex;
            for (const int index :
                 {lowFirst ? m_lowIndex : m_highIndex, lowFirst ? m_highIndex : m_lowIndex}) {
                if (index != 0 && index != m_count - 1) {
                    into.append(index == m_lowIndex ? m_low : m_high);
                }
            }
        }
        if (m_count > 1) {
            into.append(m_last);
        }
        m_count = 0;
    }

private:
    int m_column = 0;
    int m_count = 0;
    QPointF m_first, m_low, m_high, m_last;
    int m_lowIndex = 0;
    int m_highIndex = 0;
};

} // namespace

SpeedAxis ChooseSpeedAxis(double low, double high, double minimumSpan) {
    if (high < low) {
        std::swap(low, high);
    }
    if (high - low < minimumSpan) {
        const double middle = (low + high) / 2;
        const bool fromZero = low >= 0 && middle - minimumSpan / 2 < 0;
        low = fromZero ? 0 : middle - minimumSpan / 2;
        high = fromZero ? minimumSpan : middle + minimumSpan / 2;
    }
    const bool notNegative = low >= 0;
    static constexpr double kSteps[] = {0.1, 0.2, 0.5, 1, 2, 5, 10, 20, 50, 100, 200, 500, 1000};
    double step = 2000;
    for (const double candidate : kSteps) {
        if ((high - low) / candidate <= kMaxTicks - 1) {
            step = candidate;
            break;
        }
    }
    low = std::floor(low / step + 1e-9) * step;
    high = std::ceil(high / step - 1e-9) * step;
    if (notNegative) {
        low = std::max(low, 0.0);
    }
    return {low, high, step};
}

CTrendPlot::CTrendPlot(QWidget* parent) : QWidget(parent) {
    setAccessibleName(UiText("Wykres prędkości"));
    setAttribute(Qt::WA_OpaquePaintEvent); // paints every pixel itself
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void CTrendPlot::SetView(const CTrendRing* ring, std::size_t first, std::size_t end,
                         std::int64_t startMs, std::int64_t endMs, const TrendStatistics& stats) {
    m_pRing = ring;
    m_first = first;
    m_end = ring != nullptr ? std::min(end, ring->Size()) : 0;
    m_startMs = startMs;
    m_endMs = std::max(endMs, startMs + 1);
    m_stats = stats;
    update();
}

void CTrendPlot::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    painter.setPen(palette().text().color());
    const QFontMetrics metrics = painter.fontMetrics();

    const SpeedAxis axis = m_stats.readings > 0
                               ? ChooseSpeedAxis(m_stats.minimum, m_stats.maximum, kMinimumSpan)
                               : ChooseSpeedAxis(0, kMinimumSpan, kMinimumSpan);
    const int decimals = axis.step < 1 ? 1 : 0;
    // Room for the longest speed label, a sign included.
    const QString widest =
        QString::number(-std::max(std::abs(axis.low), std::abs(axis.high)), 'f', decimals);
    // The unit on the first line, the time labels on the last.
    const QRectF area(metrics.horizontalAdvance(widest) + 10, 2 * metrics.height(),
                      width() - metrics.horizontalAdvance(widest) - 10 - metrics.height(),
                      height() - 3.5 * metrics.height() - 6);
    if (area.width() < 10 || area.height() < 10) {
        return;
    }
    const double msWidth = static_cast<double>(m_endMs - m_startMs);
    auto xOf = [&](std::int64_t timeMs) {
        return area.left() + static_cast<double>(timeMs - m_startMs) * area.width() / msWidth;
    };
    auto yOf = [&](double speed) {
        return area.bottom() - (speed - axis.low) * area.height() / (axis.high - axis.low);
    };

    // Speed grid and labels, m/s.
    for (double speed = axis.low; speed <= axis.high + axis.step / 2; speed += axis.step) {
        const double y = yOf(speed);
        painter.setPen(kGridColor);
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        painter.setPen(palette().text().color());
        const QString label = QString::number(speed, 'f', decimals);
        painter.drawText(QRectF(0, y - metrics.height() / 2.0, area.left() - 5, metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, label);
    }
    painter.drawText(QRectF(0, 0, area.left() + 40, metrics.height()), Qt::AlignLeft,
                     QStringLiteral("m/s"));

    // Time grid on round local times.
    const std::int64_t stepMs = ChooseTimeStepMs(m_endMs - m_startMs);
    const std::int64_t offsetMs =
        std::int64_t{QDateTime::fromMSecsSinceEpoch(m_endMs).offsetFromUtc()} * 1000;
    const QString format = stepMs < 60'000 ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm");
    std::int64_t tick = (m_startMs + offsetMs + stepMs - 1) / stepMs * stepMs - offsetMs;
    for (; tick <= m_endMs; tick += stepMs) {
        const double x = xOf(tick);
        painter.setPen(kGridColor);
        painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        painter.setPen(palette().text().color());
        const QString label = QDateTime::fromMSecsSinceEpoch(tick).toString(format);
        const double labelWidth = metrics.horizontalAdvance(label);
        painter.drawText(
            QRectF(x - labelWidth / 2, area.bottom() + 4, labelWidth + 2, metrics.height()),
            Qt::AlignCenter, label);
    }
    painter.drawRect(area);

    if (m_pRing == nullptr || m_first >= m_end) {
        painter.drawText(area, Qt::AlignCenter, UiText("Brak odczytów"));
        return;
    }

    // The line, broken at gaps; failures collected to be marked over it. Where many readings
    // share a pixel column only their lowest and highest are drawn: the same picture, at the
    // cost of the plot's width rather than of the number of readings.
    painter.setClipRect(area.adjusted(-1, -1, 1, 1));
    QPen linePen(kLineColor, 1);
    linePen.setCosmetic(true);
    painter.setPen(linePen);
    QPolygonF run;
    run.reserve(static_cast<qsizetype>(std::min<std::size_t>(m_end - m_first, 4 * width() + 8)));
    std::vector<QPointF> failures;
    ColumnEnvelope column;
    std::int64_t lastTime = 0;
    auto endRun = [&] {
        column.Flush(run);
        if (run.size() == 1) {
            painter.drawPoint(run.front());
        } else if (run.size() > 1) {
            painter.drawPolyline(run);
        }
        run.clear();
    };
    for (std::size_t index = m_first; index < m_end; ++index) {
        const TrendPoint& point = (*m_pRing)[index];
        if (point.gap) {
            endRun();
            continue;
        }
        if (!column.Empty() && point.timeMs - lastTime > kBreakAfterMs) {
            endRun();
        }
        lastTime = point.timeMs;
        const QPointF at(xOf(point.timeMs), yOf(point.reading.speedTenths / 10.0));
        column.Add(at, run);
        if (point.reading.failure) {
            failures.push_back(at);
        }
    }
    endRun();

    painter.setPen(QPen(kFailureColor, 2));
    for (const QPointF& at : failures) {
        painter.drawLine(at + QPointF(-3, -3), at + QPointF(3, 3));
        painter.drawLine(at + QPointF(-3, 3), at + QPointF(3, -3));
    }

    if (m_stats.hasGust) {
        const double y = yOf(m_stats.gust);
        // At least a few pixels wide, so that a long span still shows where it was.
        const double middle = (xOf(m_stats.gustStartMs) + xOf(m_stats.gustEndMs)) / 2;
        const double halfWidth =
            std::max((xOf(m_stats.gustEndMs) - xOf(m_stats.gustStartMs)) / 2, 5.0);
        const double left = middle - halfWidth;
        const double right = middle + halfWidth;
        painter.setPen(QPen(kGustColor, 3, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(QPointF(left, y), QPointF(right, y));
        painter.setClipping(false);
        painter.setPen(kGustColor.darker(130));
        const QString label = UiText("poryw");
        const double labelX =
            std::min(right + 3, area.right() - metrics.horizontalAdvance(label) - 2);
        painter.drawText(QPointF(labelX, std::max(y - 4, area.top() + metrics.ascent())), label);
    }
}
