#include "CTrendWindow.h"

#include "CTrendPlot.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <iterator>

QString SpeedValueText(bool present, double metresPerSecond) {
    return present ? QString::number(metresPerSecond, 'f', 1) + QStringLiteral(" m/s")
                   : QStringLiteral("–");
}

CTrendWindow::CTrendWindow(const CTrendRing& ring, std::function<std::int64_t()> clock,
                           QWidget* parent)
    : QWidget(parent, Qt::Window), m_pRing(&ring), m_clock(std::move(clock)),
      m_plot(new CTrendPlot(this)), m_comboSpan(new QComboBox(this)),
      m_labelMinimum(new QLabel(this)), m_labelMean(new QLabel(this)),
      m_labelMaximum(new QLabel(this)), m_labelGust(new QLabel(this)) {
    setWindowTitle(QStringLiteral("Wykres prędkości"));

    for (const int minutes : kSpanMinutes) {
        m_comboSpan->addItem(QStringLiteral("%1 min").arg(minutes), minutes);
    }
    m_comboSpan->setCurrentIndex(1);
    auto* spanLabel = new QLabel(QStringLiteral("&Zakres:"), this);
    spanLabel->setBuddy(m_comboSpan);
    m_comboSpan->setAccessibleName(QStringLiteral("Zakres"));
    QObject::connect(m_comboSpan, &QComboBox::currentIndexChanged, this, [this] { Refresh(); });

    auto* side = new QVBoxLayout;
    auto* values = new QFormLayout;
    values->addRow(spanLabel, m_comboSpan);
    for (QLabel* label : {m_labelMinimum, m_labelMean, m_labelMaximum, m_labelGust}) {
        const QString caption = CaptionOf(label);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        values->addRow(caption + QLatin1Char(':'), label);
        ShowValue(label, SpeedValueText(false, 0));
    }
    side->addLayout(values);
    side->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_plot, 1);
    layout->addLayout(side);
    resize(760, 320);
}

QString CTrendWindow::CaptionOf(const QLabel* value) const {
    if (value == m_labelMinimum) {
        return QStringLiteral("Minimum");
    }
    if (value == m_labelMean) {
        return QStringLiteral("Średnia");
    }
    return value == m_labelMaximum ? QStringLiteral("Maksimum") : QStringLiteral("Poryw");
}

// A screen reader reads a value with its caption ("Minimum: 8.7 m/s"), as the label beside it
// shows them; the caption alone would be read twice and the value never.
void CTrendWindow::ShowValue(QLabel* value, const QString& text) {
    value->setText(text);
    value->setAccessibleName(CaptionOf(value) + QStringLiteral(": ") + text);
}

int CTrendWindow::SpanMinutes() const {
    return m_comboSpan->currentData().toInt();
}

void CTrendWindow::SetSpanMinutes(int minutes) {
    const int index = m_comboSpan->findData(minutes);
    if (index >= 0) {
        m_comboSpan->setCurrentIndex(index);
    }
}

void CTrendWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Refresh();
}

void CTrendWindow::Refresh() {
    if (!isVisible()) {
        return;
    }
    const std::int64_t spanMs = std::int64_t{SpanMinutes()} * 60'000;
    std::int64_t endMs = m_clock();
    if (!m_pRing->Empty()) {
        endMs = std::max(endMs, m_pRing->Newest().timeMs); // a clock set back shows the newest
    }
    const std::size_t first = m_pRing->FirstWithin(spanMs, endMs);
    m_stats = ComputeStatistics(*m_pRing, first, m_pRing->Size());
    m_plot->SetView(m_pRing, first, m_pRing->Size(), endMs - spanMs, endMs, m_stats);

    const bool any = m_stats.readings > 0;
    ShowValue(m_labelMinimum, SpeedValueText(any, m_stats.minimum));
    ShowValue(m_labelMean, SpeedValueText(any, m_stats.mean));
    ShowValue(m_labelMaximum, SpeedValueText(any, m_stats.maximum));
    ShowValue(m_labelGust, SpeedValueText(m_stats.hasGust, m_stats.gust));
    m_plot->setAccessibleDescription(QStringLiteral("Minimum %1, średnia %2, maksimum %3, poryw %4")
                                         .arg(m_labelMinimum->text(), m_labelMean->text(),
                                              m_labelMaximum->text(), m_labelGust->text()));
}
