#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

class QDBusPendingCallWatcher;
class SessionEvents;

// Tells the session events when the screen is locked and unlocked. Sources: the LockedHint
// property of our logind session (set by GNOME Shell and KDE's locker) and ActiveChanged of
// the desktops' screen savers. Several of them report the same lock, so only real changes of
// the combined state are passed on; the latest report wins, so a source that never clears
// its flag cannot keep the screen locked for good.
class LogindLockMonitor : public QObject {
    Q_OBJECT
public:
    LogindLockMonitor(QDBusConnection systemBus, QDBusConnection sessionBus, SessionEvents& events,
                      QObject* parent = nullptr);

    // Blocking calls to logind; meant for start-up. Emits screenLocked when already locked.
    void start();
    bool isLocked() const { return m_locked; }
    // The real object path of our logind session; empty when logind did not tell it.
    QString sessionPath() const { return m_sessionPath; }

private Q_SLOTS:
    void onSessionPropertiesChanged(const QString& interface, const QVariantMap& changed,
                                    const QStringList& invalidated);
    void onLockedHintReply(QDBusPendingCallWatcher* watcher);
    void onScreenSaverActiveChanged(bool active);

private:
    void watchLogindSession();
    void watchScreenSavers();
    void readLockedHintNow();
    void askForLockedHint();
    void setLocked(bool locked);

    QDBusConnection m_systemBus;
    QDBusConnection m_sessionBus;
    SessionEvents& m_events;
    QString m_sessionPath;
    bool m_locked = false;
};
