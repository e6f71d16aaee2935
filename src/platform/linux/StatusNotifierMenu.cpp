#include "StatusNotifierMenu.h"

namespace {

constexpr int firstSeparatorId = 2;
constexpr int secondSeparatorId = 5;

QVariantMap separator()
{
    return {{QStringLiteral("type"), QStringLiteral("separator")}};
}

QVariantMap entry(const QString& label)
{
    return {{QStringLiteral("label"), label},
            {QStringLiteral("enabled"), true},
            {QStringLiteral("visible"), true}};
}

} // namespace

StatusNotifierMenu::StatusNotifierMenu(QObject* parent)
    : QObject(parent)
{
    DBusMenuLayoutItem::registerMetaType();
    DBusMenuItemProperties::registerMetaTypes();
}

void StatusNotifierMenu::setPaused(bool paused)
{
    if (paused == m_paused)
        return;
    m_paused = paused;
    ++m_revision;
    Q_EMIT LayoutUpdated(m_revision, rootId);
}

QList<int> StatusNotifierMenu::childIds()
{
    return {pauseId, firstSeparatorId, historyId, settingsId, secondSeparatorId, quitId};
}

QVariantMap StatusNotifierMenu::propertiesOf(int id) const
{
    switch (id) {
    case rootId:
        return {{QStringLiteral("children-display"), QStringLiteral("submenu")}};
    case pauseId:
        return entry(m_paused ? tr("Resume") : tr("Pause"));
    case historyId:
        return entry(tr("History…"));
    case settingsId:
        return entry(tr("Settings…"));
    case quitId:
        return entry(tr("Quit"));
    case firstSeparatorId:
    case secondSeparatorId:
        return separator();
    default:
        return {};
    }
}

QVariantMap StatusNotifierMenu::filtered(const QVariantMap& properties, const QStringList& names)
{
    // An empty list asks for every property.
    if (names.isEmpty())
        return properties;
    QVariantMap kept;
    for (const QString& name : names) {
        if (properties.contains(name))
            kept.insert(name, properties.value(name));
    }
    return kept;
}

DBusMenuLayoutItem StatusNotifierMenu::layoutOf(int id, int depth, const QStringList& names) const
{
    DBusMenuLayoutItem item{id, filtered(propertiesOf(id), names), {}};
    // A depth of -1 means all levels; the menu is flat, so only the root has children.
    if (id == rootId && depth != 0) {
        for (const int child : childIds())
            item.children.append(layoutOf(child, depth - 1, names));
    }
    return item;
}

uint StatusNotifierMenu::GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                                   DBusMenuLayoutItem& layout)
{
    layout = layoutOf(parentId, recursionDepth, propertyNames);
    return m_revision;
}

QList<DBusMenuItemProperties> StatusNotifierMenu::GetGroupProperties(const QList<int>& ids,
                                                                     const QStringList& propertyNames)
{
    QList<DBusMenuItemProperties> items;
    for (const int id : ids)
        items.append({id, filtered(propertiesOf(id), propertyNames)});
    return items;
}

void StatusNotifierMenu::Event(int id, const QString& eventId, const QDBusVariant& data, uint timestamp)
{
    Q_UNUSED(data)
    Q_UNUSED(timestamp)
    if (eventId == QLatin1String("clicked"))
        activate(id);
}

bool StatusNotifierMenu::AboutToShow(int id)
{
    Q_UNUSED(id)
    // The layout never changes on opening, so the host need not fetch it again.
    return false;
}

void StatusNotifierMenu::activate(int id)
{
    switch (id) {
    case pauseId:
        Q_EMIT pauseToggleRequested();
        break;
    case historyId:
        Q_EMIT historyRequested();
        break;
    case settingsId:
        Q_EMIT settingsRequested();
        break;
    case quitId:
        Q_EMIT quitRequested();
        break;
    default:
        break;
    }
}
