#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

class QDBusPendingCallWatcher;
class SessionEvents;

// Display sleep on GNOME (X11 and Wayland) from Mutter's PowerSaveMode: 0 on, 1 standby,
// 2 suspend, 3 off, -1 unknown. Each change between on and any of the sleeping modes becomes
// screensDidSleep or screensDidWake; "unknown" keeps the last known state.
class GnomeDisplaySleepMonitor : public QObject {
    Q_OBJECT
public:
    static constexpr int modeOn = 0;
    static constexpr int modeUnknown = -1;

    // The events must outlive the monitor.
    GnomeDisplaySleepMonitor(QDBusConnection sessionBus, SessionEvents& events, QObject* parent = nullptr);

    // Reads the mode (blocking, meant for start-up) and follows its changes; false, with one
    // log line, when Mutter's display configuration is not on the bus.
    bool start();
    bool isAsleep() const { return m_asleep; }

private Q_SLOTS:
    void onPropertiesChanged(const QString& interface, const QVariantMap& changed,
                             const QStringList& invalidated);
    void onMonitorsChanged();
    void onModeReply(QDBusPendingCallWatcher* watcher);

private:
    void subscribe();
    void readModeNow();
    void askForMode();
    void applyMode(int mode);

    QDBusConnection m_sessionBus;
    SessionEvents& m_events;
    bool m_asleep = false;
};
