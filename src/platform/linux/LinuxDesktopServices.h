#pragma once

#include "Clock.h"
#include "DesktopServices.h"
#include "DesktopSession.h"
#include "PortalGlobalHotKey.h"
#include "SessionEvents.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <memory>
#include <vector>

class FreedesktopNotificationCenter;
class GlobalHotKey;
class IdleTimeSource;
class IdleTimeSourceSelector;
class LoginItem;
class NotificationCenter;
class WaylandDisplaySleepMonitor;
class WaylandIdleTimeSource;
class XcbConnection;
class XcbIdleTimeSource;
class XcbKeyNames;

// Builds, once at start-up, the desktop services this session actually offers, and says which
// it chose. Each service is probed rather than guessed from the desktop's name; a missing one
// leaves its part of the application in a documented fallback, never a crash.
class LinuxDesktopServices : public QObject, public DesktopServices {
    Q_OBJECT
public:
    struct Options {
        QDBusConnection sessionBus;
        QDBusConnection systemBus;
        Clock clock;
        // Written into the autostart entry.
        QString executablePath;
        DesktopSession session;
    };

    // The user's real buses, the wall clock and the session described by the environment.
    static Options fromEnvironment(const QString& executablePath);

    explicit LinuxDesktopServices(Options options, QObject* parent = nullptr);
    ~LinuxDesktopServices() override;

    SessionEvents& sessionEvents() override { return m_sessionEvents; }
    IdleTimeSource* idleTimeSource() const override;
    QString idleTimeSourceName() const;
    NotificationCenter& notificationCenter() override;
    LoginItem& loginItem() override;
    // Null when neither an X11 grab nor the global shortcuts portal is available.
    GlobalHotKey* globalHotKey() const override { return m_hotKey.get(); }
    // Our own StatusNotifierItem on the session bus.
    std::unique_ptr<StatusItemBackend> createStatusItem(const QString& id, const QString& title) override;

    QString desktopNames() const override { return m_options.session.desktops; }
    QString runningImagePath() const override { return m_options.session.runningImage; }
    // Linux desktops have no utility that attaches installer images; an AppImage is a plain file.
    QString diskImageUtilityPath() const override { return {}; }
    void returnFreedMemory() override;

    QStringList summary() const override;

private:
    void startX11();
    void startWayland();
    void startSessionMonitors();
    void startDisplaySleepMonitor();
    void startGlobalHotKey();
    void startTimeZoneMonitor();
    QString displaySleepSource() const;
    PortalGlobalHotKey::KeyNameProvider portalKeyNames();

    Options m_options;
    SessionEvents m_sessionEvents;
    std::unique_ptr<XcbConnection> m_xcb;
    std::unique_ptr<XcbIdleTimeSource> m_x11Idle;
    std::unique_ptr<WaylandIdleTimeSource> m_waylandIdle;
    // After the Wayland source, which it asks and which calls it back.
    std::unique_ptr<IdleTimeSourceSelector> m_idleSelector;
    std::unique_ptr<FreedesktopNotificationCenter> m_notifications;
    std::unique_ptr<LoginItem> m_loginItem;
    // Names keys for the shortcuts portal; before the hot key, which asks it.
    std::unique_ptr<XcbConnection> m_keyNamesConnection;
    std::unique_ptr<XcbKeyNames> m_keyNames;
    std::unique_ptr<GlobalHotKey> m_hotKey;
    QString m_displaySleepSource;
    QString m_hotKeySource;
    // Declared last so they go first: they refer to the connection and the events above.
    std::vector<std::unique_ptr<QObject>> m_monitors;
    std::unique_ptr<WaylandDisplaySleepMonitor> m_waylandDisplaySleep;
};
