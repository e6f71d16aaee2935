#include "StatusNotifierItemAdaptor.h"

#include "StatusNotifierItem.h"
#include "StatusNotifierMenu.h"

StatusNotifierItemAdaptor::StatusNotifierItemAdaptor(StatusNotifierItem& item)
    : QDBusAbstractAdaptor(&item)
    , m_item(item)
{}

QString StatusNotifierItemAdaptor::id() const
{
    return m_item.id();
}

QString StatusNotifierItemAdaptor::title() const
{
    return m_item.title();
}

QList<StatusNotifierPixmap> StatusNotifierItemAdaptor::iconPixmap() const
{
    return m_item.iconPixmaps();
}

QString StatusNotifierItemAdaptor::iconAccessibleDesc() const
{
    return m_item.toolTip().title;
}

StatusNotifierToolTip StatusNotifierItemAdaptor::toolTip() const
{
    return m_item.toolTip();
}

QDBusObjectPath StatusNotifierItemAdaptor::menu() const
{
    return QDBusObjectPath(QLatin1String(StatusNotifierMenu::path));
}

QString StatusNotifierItemAdaptor::label() const
{
    return m_item.label();
}

QString StatusNotifierItemAdaptor::labelGuide() const
{
    return m_item.labelGuide();
}

void StatusNotifierItemAdaptor::Activate(int x, int y)
{
    Q_EMIT m_item.activated(QPoint(x, y));
}

void StatusNotifierItemAdaptor::SecondaryActivate(int x, int y)
{
    Q_UNUSED(x)
    Q_UNUSED(y)
    // A middle click is the quickest way to pause without opening anything.
    Q_EMIT m_item.pauseToggleRequested();
}

void StatusNotifierItemAdaptor::ContextMenu(int x, int y)
{
    Q_UNUSED(x)
    Q_UNUSED(y)
    // The host shows the exported menu itself; there is no menu of our own to pop up.
}

void StatusNotifierItemAdaptor::Scroll(int delta, const QString& orientation)
{
    Q_UNUSED(delta)
    Q_UNUSED(orientation)
}
