#pragma once

#include <QAccessibleInterface>
#include <QPointer>

class BarChartView;

// One bar of a history chart as assistive technology sees it: its category label and its time
// in words as name ("Dec 4: 2 hours 30 minutes"), its hours text as value. It reads the chart live, so it
// stays right after a reload.
class BarAccessible : public QAccessibleInterface {
public:
    BarAccessible(BarChartView* chart, int index);

    bool isValid() const override;
    QObject* object() const override;
    QWindow* window() const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QString text(QAccessible::Text kind) const override;
    void setText(QAccessible::Text kind, const QString& text) override;
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;

    int index() const { return m_index; }

private:
    QPointer<BarChartView> m_chart;
    int m_index;
};
