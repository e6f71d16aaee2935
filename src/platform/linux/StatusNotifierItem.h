#pragma once

#include "DesktopSession.h"
#include "DirectSignalSender.h"
#include "StatusItemBackend.h"
#include "StatusNotifierPixmap.h"
#include "StatusNotifierToolTip.h"

#include <QDBusConnection>
#include <QList>
#include <QString>
#include <QVariantMap>

class QDBusPendingCallWatcher;
class QDBusServiceWatcher;
class StatusNotifierItemAdaptor;
class StatusNotifierMenu;

// The status item as a StatusNotifierItem of our own, with the Ayatana label carrying the
// counter text, the icon carrying the tier colour and a small dbusmenu menu. It registers with
// the StatusNotifierWatcher and again whenever a watcher appears, since panels restart and may
// start after the application. Every bus call is asynchronous, so a hung panel cannot freeze
// the counter.
class StatusNotifierItem : public StatusItemBackend {
    Q_OBJECT
public:
    static constexpr const char* itemPath = "/StatusNotifierItem";
    static constexpr const char* itemInterface = "org.kde.StatusNotifierItem";
    static constexpr const char* watcherService = "org.kde.StatusNotifierWatcher";
    static constexpr const char* watcherPath = "/StatusNotifierWatcher";

    // session names the desktop, which decides whether the label is drawn until the host's
    // process is known.
    StatusNotifierItem(QDBusConnection bus, const QString& id, const QString& title,
                       const DesktopSession& session = {}, QObject* parent = nullptr);
    ~StatusNotifierItem() override;

    // Exports the item and its menu and starts following the watcher; false, with one log
    // line, when the paths are already taken on this connection.
    bool start() override;
    bool isRegistered() const { return m_registered; }
    // True once a watcher took the registration and reports a host that shows items; when it
    // stays false the caller falls back to a plain tray icon.
    bool isShown() const override { return m_hostAvailable; }
    // Decided by the process that owns the watcher once it is known, by the desktop before.
    bool showsLabel() const override { return m_hostShowsLabel; }
    // The watcher's process name, empty until known.
    QString hostProcess() const { return m_hostProcess; }

    void setLabel(const QString& text, const QString& guide) override;
    void setIcon(const QImage& icon) override;
    void setToolTip(const QString& text) override;
    void setMenuPaused(bool paused) override;
    void setMenuFigures(const QStringList& rows) override;

    QString id() const { return m_id; }
    QString title() const { return m_title; }
    QString label() const { return m_label; }
    QString labelGuide() const { return m_labelGuide; }
    QList<StatusNotifierPixmap> iconPixmaps() const { return m_iconPixmaps; }
    StatusNotifierToolTip toolTip() const;

Q_SIGNALS:
    void registeredChanged(bool registered);

private Q_SLOTS:
    void registerWithWatcher();
    void onWatcherGone();
    void onRegisterReply(QDBusPendingCallWatcher* call);
    void queryHost();
    void onHostReply(QDBusPendingCallWatcher* call);
    void onHostProcessReply(QDBusPendingCallWatcher* call);

private:
    void sendLabelBeforeSleeping();
    void sendPendingLabel();
    void followWatcher();
    void setRegistered(bool registered);
    void lookUpHostProcess();
    void setHost(bool available, bool showsLabel);
    void announce(const QVariantMap& changed);

    QDBusConnection m_bus;
    DirectSignalSender m_labelSender;
    QString m_id;
    QString m_title;
    DesktopSession m_session;
    StatusNotifierItemAdaptor* m_adaptor;
    StatusNotifierMenu* m_menu;
    QDBusServiceWatcher* m_watcher = nullptr;
    bool m_exported = false;
    bool m_registered = false;
    bool m_hostAvailable = false;
    bool m_hostShowsLabel = true;
    QString m_hostProcess;
    QString m_label;
    QString m_labelGuide;
    bool m_labelPending = false;
    bool m_waitsForIdleLoop = false;
    QList<StatusNotifierPixmap> m_iconPixmaps;
    QString m_toolTipText;
};
