#pragma once

#include <QAccessibleWidget>
#include <QHash>

class BarChartView;

// Tells assistive technology about a history chart: the chart itself, and one child per bar
// read as its label with its hours text as value ("Dec 4", "2.5h").
class BarChartAccessible : public QAccessibleWidget {
public:
    explicit BarChartAccessible(BarChartView* chart);
    ~BarChartAccessible() override;

    // Registers the factory that gives every BarChartView this interface; once per process.
    static void install();

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;

private:
    BarChartView* chart() const;

    // Bars have no QObject of their own, so their interfaces are registered by id and kept
    // for reuse until the chart goes away.
    mutable QHash<int, QAccessible::Id> m_bars;
};
