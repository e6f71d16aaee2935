#pragma once

#include <QByteArray>
#include <QDBusConnection>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

class SessionEvents;

// Tells the application at once when the system's time zone changes, instead of at its next
// scheduled look: timedated announces a change made through it (its Timezone property on the
// system bus), and the zone file itself changes whatever tool replaced it. The file is watched
// along with its folder, since it is usually a symbolic link replaced by a rename, which ends a
// watch on the file alone. One change seen both ways is announced once.
class TimeZoneMonitor : public QObject {
    Q_OBJECT
public:
    TimeZoneMonitor(QDBusConnection systemBus, SessionEvents& events,
                    QString zoneFile = QStringLiteral("/etc/localtime"), QObject* parent = nullptr);

    void start();

private Q_SLOTS:
    void onTimedateChanged(const QString& interface, const QVariantMap& changed,
                           const QStringList& invalidated);
    void onZoneFileTouched();

private:
    QByteArray zoneFileFingerprint() const;
    void watchZoneFile();
    void announce();

    QDBusConnection m_systemBus;
    SessionEvents& m_events;
    const QString m_zoneFile;
    QFileSystemWatcher m_watcher;
    QByteArray m_fingerprint;
    QTimer m_coalesce;
};
