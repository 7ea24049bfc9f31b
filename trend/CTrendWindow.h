#pragma once

#include "TrendRing.h"
#include "TrendStatistics.h"

#include <QWidget>

#include <cstdint>
#include <functional>

class CTrendPlot;
class QComboBox;
class QLabel;

// "Wykres prędkości": the speed over the last 1, 10 or 60 minutes with its minimum, mean,
// maximum and gust beside it. A tool window of its own; the readings it shows belong to its
// owner, so that closing it loses nothing.
class CTrendWindow : public QWidget {
public:
    static constexpr int kSpanMinutes[] = {1, 10, 60};

    CTrendWindow(const CTrendRing& ring, std::function<std::int64_t()> clock, QWidget* parent);

    // Takes in the readings that came since; does nothing while the window is hidden.
    void Refresh();

    int SpanMinutes() const;
    void SetSpanMinutes(int minutes);
    const TrendStatistics& Statistics() const { return m_stats; }
    CTrendPlot* Plot() const { return m_plot; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QString CaptionOf(const QLabel* value) const;
    void ShowValue(QLabel* value, const QString& text);

    const CTrendRing* m_pRing;
    std::function<std::int64_t()> m_clock;
    TrendStatistics m_stats;
    CTrendPlot* m_plot;
    QComboBox* m_comboSpan;
    QLabel* m_labelMinimum;
    QLabel* m_labelMean;
    QLabel* m_labelMaximum;
    QLabel* m_labelGust;
};

// " 12.3 m/s", or a dash when there is no such value.
QString SpeedValueText(bool present, double metresPerSecond);
