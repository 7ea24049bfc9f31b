#include "CTrendWindow.h"

#include "CTrendPlot.h"
#include "UiText.h"

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
    setWindowTitle(UiText("Wykres prędkości"));

    for (const int minutes : kSpanMinutes) {
        m_comboSpan->addItem(QStringLiteral("%1 min").arg(minutes), minutes);
    }
    m_comboSpan->setCurrentIndex(1);
    auto* spanLabel = new QLabel(UiText("&Zakres:"), this);
    spanLabel->setBuddy(m_comboSpan);
    m_comboSpan->setAccessibleName(UiText("Zakres"));
    QObject::connect(m_comboSpan, &QComboBox::currentIndexChanged, this, [this] { Refresh(); });

    auto* side = new QVBoxLayout;
    auto* values = new QFormLayout;
    values->addRow(spanLabel, m_comboSpan);
    const struct {
        QLabel* label;
        const char* name;
    } rows[] = {{m_labelMinimum, "Minimum"},
                {m_labelMean, "Średnia"},
                {m_labelMaximum, "Maksimum"},
                {m_labelGust, "Poryw"}};
    for (const auto& row : rows) {
        const QString name = UiText(row.name);
        row.label->setAccessibleName(name);
        row.label->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                           Qt::TextSelectableByKeyboard);
        values->addRow(name + QLatin1Char(':'), row.label);
    }
    side->addLayout(values);
    side->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_plot, 1);
    layout->addLayout(side);
    resize(760, 320);
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
    m_labelMinimum->setText(SpeedValueText(any, m_stats.minimum));
    m_labelMean->setText(SpeedValueText(any, m_stats.mean));
    m_labelMaximum->setText(SpeedValueText(any, m_stats.maximum));
    m_labelGust->setText(SpeedValueText(m_stats.hasGust, m_stats.gust));
    m_plot->setAccessibleDescription(UiText("Minimum %1, średnia %2, maksimum %3, poryw %4")
                                         .arg(m_labelMinimum->text(), m_labelMean->text(),
                                              m_labelMaximum->text(), m_labelGust->text()));
}
