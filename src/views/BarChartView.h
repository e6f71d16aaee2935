#pragma once

#include "BarChartEntry.h"
#include "TierColors.h"

#include <QChartView>
#include <QList>

class Preferences;
class QBarSet;
class QCategoryAxis;
class QStackedBarSeries;

// One bar chart of the history window: a bar per entry in list order, each in the colour of
// its tier, with its hours written above it (above every few bars when thirty are shown).
// Bars are stacked series of one set per tier, so that every bar can take its own colour;
// each category holds a value in one set only.
class BarChartView : public QChartView {
    Q_OBJECT
public:
    static constexpr int chartHeight = 220;
    // Long spans label about this many categories, always including the newest one.
    static constexpr int desiredLabelCount = 7;
    static constexpr qreal annotationGap = 2;
    static constexpr int annotationPointSize = 10;
    // The least room between the hours texts of neighbouring bars.
    static constexpr qreal annotationSpacing = 4;
    static constexpr int labelOverhang = 12;
    // The value axis is divided into at most this many round steps.
    static constexpr int maximumValueSteps = 5;

    // Keeps a reference; the preferences (for the tier colours) must outlive the chart.
    BarChartView(const QString& yAxisLabel, Preferences& preferences, QWidget* parent = nullptr);

    void setEntries(const QList<BarChartEntry>& entries);
    void setThresholds(qint64 greenMaxHours, qint64 yellowMaxHours);
    const QList<BarChartEntry>& entries() const { return m_entries; }
    QString yAxisLabel() const { return m_yAxisLabel; }

    // The tier colour of a bar of `seconds` against the chart's thresholds.
    QColor barColor(qint64 seconds) const;
    // Where bar `index` is drawn, in this widget's coordinates (empty for a zero bar).
    QRectF barRect(int index) const;
    // The category labels the x axis shows, oldest first.
    QStringList visibleCategoryLabels() const;
    // The hours the value axis marks, from the bottom.
    QStringList hoursMarks() const;
    // The bars whose hours are written above them: all where the texts fit side by side, else
    // those that carry a category label.
    QList<int> annotatedIndices() const;
    // Which of `count` categories carry a label: every one up to the desired count, beyond
    // that every n-th counted back from the newest.
    static QList<int> labelledIndices(qsizetype count);
    // The step between value marks for an axis reaching `top` hours: 1, 2 or 5 times a power
    // of ten, the smallest that needs no more than maximumValueSteps steps.
    static qreal valueStep(qreal top);

protected:
    void drawForeground(QPainter* painter, const QRectF& rect) override;
    void changeEvent(QEvent* event) override;

private:
    void showHours(bool hovered, int index);
    void setUpAxes();
    void applyPalette();
    void rebuild();
    void fillSets();
    void relabelCategories();
    void rescaleValues();
    QPointF scenePoint(qreal category, qreal hours) const;

    TierColors m_tierColors;
    QString m_yAxisLabel;
    QList<BarChartEntry> m_entries;
    qint64 m_greenMaxHours = 0;
    qint64 m_yellowMaxHours = 0;
    QStackedBarSeries* m_series = nullptr;
    QList<QBarSet*> m_tierSets;
    QCategoryAxis* m_categoryAxis = nullptr;
    // Hours marks as categories, written like "2" and "0.5" rather than "2.0" and "0.50":
    // a value axis writes them so only with a printf format, which it parses with a regular
    // expression whose compiler stays resident after the window closes.
    QCategoryAxis* m_hoursAxis = nullptr;
};
