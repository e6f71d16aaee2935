#pragma once

#include "DBusMenuItemProperties.h"
#include "DBusMenuLayoutItem.h"

#include <QDBusVariant>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

// The status item's menu as a minimal com.canonical.dbusmenu server, flat, with separators:
// today's figures as read-only rows, Open Panel, Pause or Resume, the timed pauses, History…,
// Settings… and Quit.
// Where a single click opens this menu (GNOME's extension) it is the one-click way to the
// figures and the panel. Export it with the scriptable contents only, so
// the plain signals below stay off the bus.
class StatusNotifierMenu : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ version)
    Q_PROPERTY(QString TextDirection READ textDirection)
    Q_PROPERTY(QString Status READ status)
public:
    static constexpr const char* path = "/MenuBar";
    static constexpr const char* interfaceName = "com.canonical.dbusmenu";

    enum ItemId {
        rootId = 0,
        pauseId = 1,
        historyId = 3,
        settingsId = 4,
        quitId = 6,
        openPanelId = 7,
        pauseQuarterHourId = 9,
        pauseHourId = 10,
        pauseUntilTomorrowId = 11
    };
    // The read-only figure rows take the ids from here on, one per row.
    static constexpr int firstFigureId = 100;

    explicit StatusNotifierMenu(QObject* parent = nullptr);

    // Relabels the pause entry; hosts hear of it through ItemsPropertiesUpdated.
    void setPaused(bool paused);
    bool isPaused() const { return m_paused; }
    // The read-only rows at the top, each a line of text; hosts hear of new texts through
    // ItemsPropertiesUpdated, and of rows that come or go through LayoutUpdated.
    void setFigures(const QStringList& rows);
    uint revision() const { return m_revision; }

    uint version() const { return 3; }
    QString textDirection() const { return QStringLiteral("ltr"); }
    QString status() const { return QStringLiteral("normal"); }

public Q_SLOTS:
    Q_SCRIPTABLE uint GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                                DBusMenuLayoutItem& layout);
    Q_SCRIPTABLE QList<DBusMenuItemProperties> GetGroupProperties(const QList<int>& ids,
                                                                  const QStringList& propertyNames);
    Q_SCRIPTABLE void Event(int id, const QString& eventId, const QDBusVariant& data, uint timestamp);
    Q_SCRIPTABLE bool AboutToShow(int id);

Q_SIGNALS:
    Q_SCRIPTABLE void LayoutUpdated(uint revision, int parent);
    Q_SCRIPTABLE void ItemsPropertiesUpdated(const QList<DBusMenuItemProperties>& updated,
                                             const DBusMenuRemovedProperties& removed);

    // The host is about to show the menu: the figures may be brought up to date now, before
    // AboutToShow answers.
    void aboutToShow();
    void openPanelRequested();
    void pauseToggleRequested();
    void pauseForRequested(qint64 seconds);
    void pauseUntilTomorrowRequested();
    void historyRequested();
    void settingsRequested();
    void quitRequested();

private:
    QList<int> figureIds() const;
    QList<int> childIds() const;
    void relayout();
    // Hosts that keep a layout (GNOME's extension) refetch only the item types with it, so new
    // labels of known items travel in this signal.
    void announceLabels(const QList<int>& ids);
    QVariantMap propertiesOf(int id) const;
    static QVariantMap filtered(const QVariantMap& properties, const QStringList& names);
    DBusMenuLayoutItem layoutOf(int id, int depth, const QStringList& names) const;
    void activate(int id);

    bool m_paused = false;
    QStringList m_figures;
    uint m_revision = 1;
};
