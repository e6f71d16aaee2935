#pragma once

#include "MiniBarEntry.h"
#include "TierColors.h"

#include <QList>
#include <QWidget>

class Preferences;

// The panel's seven-day mini chart: one bar a day, oldest first, coloured by tier, with a dot
// under the last bar (today). Bars share one baseline and the tallest is 40 pixels high.
class MiniBarChartView : public QWidget {
    Q_OBJECT
public:
    static constexpr int chartHeight = 50;
    static constexpr int columnSpacing = 4;
    static constexpr int markerSize = 4;
    static constexpr int markerSpacing = 2;
    static constexpr qreal tallestBar = 40;

    // Keeps a reference; the preferences must outlive the chart.
    explicit MiniBarChartView(Preferences& preferences, QWidget* parent = nullptr);

    void setEntries(const QList<MiniBarEntry>& entries);
    void setThresholds(qint64 greenMaxHours, qint64 yellowMaxHours);
    const QList<MiniBarEntry>& entries() const { return m_entries; }

    // The largest entry, never below 1, so an all-zero week still divides safely.
    static qint64 scaleFor(const QList<MiniBarEntry>& entries);
    // One pixel for an empty day; otherwise proportional, but never shorter than two pixels.
    static qreal barHeight(qint64 seconds, qint64 scale);
    static QString spokenDays(const QList<MiniBarEntry>& entries);
    QColor barColor(qint64 seconds) const;
    // Where column `index` of `count` lies in this chart's current width.
    QRectF columnRect(int index, int count) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintColumn(QPainter& painter, int index, qint64 scale) const;

    TierColors m_tierColors;
    QList<MiniBarEntry> m_entries;
    qint64 m_greenMaxHours = 0;
    qint64 m_yellowMaxHours = 0;
};
