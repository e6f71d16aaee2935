#include "BarAccessible.h"

#include "BarChartView.h"
#include "ChartHoursText.h"
#include "SpokenDuration.h"

#include <QWidget>

#include <algorithm>

BarAccessible::BarAccessible(BarChartView* chart, int index)
    : m_chart(chart)
    , m_index(index)
{}

bool BarAccessible::isValid() const
{
    return m_chart && m_index < m_chart->entries().size();
}

QObject* BarAccessible::object() const
{
    return nullptr;
}

QWindow* BarAccessible::window() const
{
    return m_chart ? m_chart->window()->windowHandle() : nullptr;
}

QAccessibleInterface* BarAccessible::childAt(int /*x*/, int /*y*/) const
{
    return nullptr;
}

QAccessibleInterface* BarAccessible::parent() const
{
    return QAccessible::queryAccessibleInterface(m_chart.data());
}

QAccessibleInterface* BarAccessible::child(int /*index*/) const
{
    return nullptr;
}

int BarAccessible::childCount() const
{
    return 0;
}

int BarAccessible::indexOfChild(const QAccessibleInterface* /*child*/) const
{
    return -1;
}

QString BarAccessible::text(QAccessible::Text kind) const
{
    if (!isValid())
        return {};
    const BarChartEntry& entry = m_chart->entries().at(m_index);
    switch (kind) {
    case QAccessible::Name:
        // The value joins the name: AT-SPI publishes no value for an element without a range.
        return entry.label + QStringLiteral(": ") + spokenDuration(entry.seconds, false);
    case QAccessible::Value:
        return chartHoursText(entry.seconds);
    default:
        return {};
    }
}

void BarAccessible::setText(QAccessible::Text /*kind*/, const QString& /*text*/) {}

QRect BarAccessible::rect() const
{
    if (!isValid())
        return {};
    // An empty day still has a place on the baseline, one pixel high, to be found by pointing.
    QRect local = m_chart->barRect(m_index).toAlignedRect();
    local.setTop(std::min(local.top(), local.bottom() - 1));
    return QRect(m_chart->mapToGlobal(local.topLeft()), local.size());
}

QAccessible::Role BarAccessible::role() const
{
    return QAccessible::Graphic;
}

QAccessible::State BarAccessible::state() const
{
    QAccessible::State state;
    state.readOnly = true;
    state.invisible = !m_chart || !m_chart->isVisible();
    return state;
}
