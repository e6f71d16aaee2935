#include "StatusNotifierMenu.h"

namespace {

constexpr int firstSeparatorId = 2;
constexpr int secondSeparatorId = 5;
constexpr int figuresSeparatorId = 8;

QVariantMap separator()
{
    return {{QStringLiteral("type"), QStringLiteral("separator")}};
}

QVariantMap entry(const QString& label, bool enabled = true)
{
    return {{QStringLiteral("label"), label},
            {QStringLiteral("enabled"), enabled},
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
    announceLabels({pauseId});
}

void StatusNotifierMenu::setFigures(const QStringList& rows)
{
    if (rows == m_figures)
        return;
    const bool rowsComeOrGo = rows.size() != m_figures.size();
    m_figures = rows;
    if (rowsComeOrGo)
        relayout();
    announceLabels(figureIds());
}

QList<int> StatusNotifierMenu::figureIds() const
{
    QList<int> ids;
    for (int row = 0; row < m_figures.size(); ++row)
        ids.append(firstFigureId + row);
    return ids;
}

void StatusNotifierMenu::relayout()
{
    ++m_revision;
    Q_EMIT LayoutUpdated(m_revision, rootId);
}

void StatusNotifierMenu::announceLabels(const QList<int>& ids)
{
    QList<DBusMenuItemProperties> updated;
    for (const int id : ids)
        updated.append({id, filtered(propertiesOf(id), {QStringLiteral("label")})});
    Q_EMIT ItemsPropertiesUpdated(updated, {});
}

QList<int> StatusNotifierMenu::childIds() const
{
    QList<int> ids = figureIds();
    if (!ids.isEmpty())
        ids.append(figuresSeparatorId);
    return ids + QList<int>{
                     openPanelId,      pauseId,   pauseQuarterHourId, pauseHourId,       pauseUntilTomorrowId,
                     firstSeparatorId, historyId, settingsId,         secondSeparatorId, quitId};
}

QVariantMap StatusNotifierMenu::propertiesOf(int id) const
{
    switch (id) {
    case rootId:
        return {{QStringLiteral("children-display"), QStringLiteral("submenu")}};
    case openPanelId:
        return entry(tr("Open Panel"));
    case pauseId:
        return entry(m_paused ? tr("Resume") : tr("Pause"));
    case pauseQuarterHourId:
        return entry(tr("Pause for 15 Minutes"));
    case pauseHourId:
        return entry(tr("Pause for 1 Hour"));
    case pauseUntilTomorrowId:
        return entry(tr("Pause Until Tomorrow"));
    case historyId:
        return entry(tr("History…"));
    case settingsId:
        return entry(tr("Settings…"));
    case quitId:
        return entry(tr("Quit"));
    case firstSeparatorId:
    case secondSeparatorId:
    case figuresSeparatorId:
        return separator();
    default:
        // Shown, never chosen: the figures are to read.
        if (id >= firstFigureId && id - firstFigureId < m_figures.size())
            return entry(m_figures.at(id - firstFigureId), false);
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

// The figures are brought up to date only here, not every second, so an unopened menu costs
// the bus nothing; the answer tells the host whether to fetch the menu again.
bool StatusNotifierMenu::AboutToShow(int id)
{
    if (id != rootId)
        return false;
    const QStringList figures = m_figures;
    Q_EMIT aboutToShow();
    return m_figures != figures;
}

void StatusNotifierMenu::activate(int id)
{
    switch (id) {
    case openPanelId:
        Q_EMIT openPanelRequested();
        break;
    case pauseId:
        Q_EMIT pauseToggleRequested();
        break;
    case pauseQuarterHourId:
        Q_EMIT pauseForRequested(15 * 60);
        break;
    case pauseHourId:
        Q_EMIT pauseForRequested(60 * 60);
        break;
    case pauseUntilTomorrowId:
        Q_EMIT pauseUntilTomorrowRequested();
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
