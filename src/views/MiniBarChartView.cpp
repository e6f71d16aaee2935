#include "MiniBarChartView.h"

#include "PanelStyle.h"
#include "SpokenDuration.h"
#include "ThresholdTier.h"

#include <QPainter>
#include <QStringList>

#include <algorithm>

MiniBarChartView::MiniBarChartView(Preferences& preferences, QWidget* parent)
    : QWidget(parent)
    , m_tierColors(preferences)
{
    setFixedHeight(chartHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAccessibleName(QStringLiteral("Last 7 days screen time"));
}

void MiniBarChartView::setEntries(const QList<MiniBarEntry>& entries)
{
    m_entries = entries;
    setAccessibleDescription(spokenDays(entries));
    update();
}

// The bars in words, in the order they stand, the last one being today:
// "6 days ago: 0 minutes, …, yesterday: 1 hour 0 minutes, today: 4 hours 0 minutes".
QString MiniBarChartView::spokenDays(const QList<MiniBarEntry>& entries)
{
    QStringList days;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const qsizetype ago = entries.size() - 1 - i;
        const QString day = ago == 0   ? QStringLiteral("today")
                            : ago == 1 ? QStringLiteral("yesterday")
                                       : QStringLiteral("%1 days ago").arg(ago);
        days << day + QStringLiteral(": ") + spokenDuration(entries[i].seconds, false);
    }
    return days.join(QStringLiteral(", "));
}

void MiniBarChartView::setThresholds(qint64 greenMaxHours, qint64 yellowMaxHours)
{
    m_greenMaxHours = greenMaxHours;
    m_yellowMaxHours = yellowMaxHours;
    update();
}

qint64 MiniBarChartView::scaleFor(const QList<MiniBarEntry>& entries)
{
    qint64 largest = 1;
    for (const MiniBarEntry& entry : entries)
        largest = std::max(largest, entry.seconds);
    return largest;
}

qreal MiniBarChartView::barHeight(qint64 seconds, qint64 scale)
{
    if (seconds < 1)
        return 1;
    const qreal proportional = static_cast<qreal>(seconds) / static_cast<qreal>(scale) * tallestBar;
    return std::max<qreal>(2, proportional);
}

// An empty day is only a faint trace; every other day takes its tier's colour.
QColor MiniBarChartView::barColor(qint64 seconds) const
{
    if (seconds < 1)
        return PanelStyle::withOpacity(PanelStyle::primary(palette()), 0.1);
    return m_tierColors.tierColor(thresholdTierFor(seconds, m_greenMaxHours, m_yellowMaxHours));
}

QRectF MiniBarChartView::columnRect(int index, int count) const
{
    const qreal gaps = static_cast<qreal>(columnSpacing) * (count - 1);
    const qreal columnWidth = (width() - gaps) / count;
    return {index * (columnWidth + columnSpacing), 0, columnWidth, static_cast<qreal>(height())};
}

QSize MiniBarChartView::sizeHint() const
{
    return {7 * 24, chartHeight};
}

void MiniBarChartView::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const qint64 scale = scaleFor(m_entries);
    for (int index = 0; index < m_entries.size(); ++index)
        paintColumn(painter, index, scale);
}

void MiniBarChartView::paintColumn(QPainter& painter, int index, qint64 scale) const
{
    const auto count = static_cast<int>(m_entries.size());
    const QRectF column = columnRect(index, count);
    const qint64 seconds = m_entries[index].seconds;
    const qreal baseline = column.bottom() - markerSize - markerSpacing;
    const qreal height = barHeight(seconds, scale);
    const qreal radius = std::min<qreal>(2, height / 2);
    painter.setBrush(barColor(seconds));
    painter.drawRoundedRect(QRectF(column.left(), baseline - height, column.width(), height), radius, radius);
    if (index == count - 1) {
        painter.setBrush(PanelStyle::withOpacity(PanelStyle::primary(palette()), 0.5));
        const QPointF centre(column.center().x(), column.bottom() - markerSize / 2.0);
        painter.drawEllipse(centre, markerSize / 2.0, markerSize / 2.0);
    }
}
