#include "BarChartAccessible.h"

#include "BarAccessible.h"
#include "BarChartView.h"

namespace {

QAccessibleInterface* chartFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("BarChartView") && object && object->isWidgetType())
        return new BarChartAccessible(static_cast<BarChartView*>(object));
    return nullptr;
}

} // namespace

BarChartAccessible::BarChartAccessible(BarChartView* chart)
    : QAccessibleWidget(chart, QAccessible::Chart)
{}

BarChartAccessible::~BarChartAccessible()
{
    for (QAccessible::Id id : std::as_const(m_bars))
        QAccessible::deleteAccessibleInterface(id);
}

void BarChartAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(chartFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

int BarChartAccessible::childCount() const
{
    return static_cast<int>(chart()->entries().size());
}

QAccessibleInterface* BarChartAccessible::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    if (!m_bars.contains(index))
        m_bars.insert(index, QAccessible::registerAccessibleInterface(new BarAccessible(chart(), index)));
    return QAccessible::accessibleInterface(m_bars.value(index));
}

int BarChartAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    for (auto it = m_bars.cbegin(); it != m_bars.cend(); ++it) {
        if (QAccessible::accessibleInterface(it.value()) == child)
            return it.key();
    }
    return -1;
}

QAccessibleInterface* BarChartAccessible::childAt(int x, int y) const
{
    const QPoint local = chart()->mapFromGlobal(QPoint(x, y));
    for (int index = 0; index < childCount(); ++index) {
        if (chart()->barRect(index).contains(local))
            return child(index);
    }
    return nullptr;
}

BarChartView* BarChartAccessible::chart() const
{
    return static_cast<BarChartView*>(widget());
}
