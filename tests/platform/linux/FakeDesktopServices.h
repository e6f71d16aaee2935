#pragma once

#include <QDBusContext>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QMutex>
#include <QObject>
#include <QStringList>

#include <atomic>
#include <vector>

// Stand-ins for logind, the screen savers and Mutter, exported on private buses. They live on
// a thread of their own (see FakeDesktop) so the blocking calls the code under test makes from
// the main thread get answered; their state is therefore read and written atomically.

// org.freedesktop.login1.Manager: hands out the read end of a pipe as the inhibitor, so the
// test sees on the write end when every copy of it has been closed.
class FakeLogindManager : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    FakeLogindManager(QString sessionId, QString sessionPath);
    ~FakeLogindManager() override;

    int inhibitCount() const;
    QStringList lastInhibitArguments() const;
    // Whether the newest inhibitor handed out is still open somewhere.
    bool newestInhibitorHeld() const;

public Q_SLOTS:
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why,
                                    const QString& mode);
    QDBusObjectPath GetSession(const QString& id);

private:
    const QString m_sessionId;
    const QString m_sessionPath;
    mutable QMutex m_mutex;
    std::vector<int> m_writeEnds;
    QStringList m_lastInhibitArguments;
};

// org.freedesktop.login1.Session with the properties the desktop services read.
class FakeLogindSession : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Session")
    Q_PROPERTY(QString Id READ id CONSTANT)
    Q_PROPERTY(bool LockedHint READ lockedHint)
    Q_PROPERTY(bool IdleHint READ idleHint)
    Q_PROPERTY(qulonglong IdleSinceHint READ idleSinceHint)
public:
    explicit FakeLogindSession(QString id)
        : m_id(std::move(id))
    {}

    QString id() const { return m_id; }
    bool lockedHint() const { return m_lockedHint; }
    bool idleHint() const { return m_idleHint; }
    qulonglong idleSinceHint() const { return m_idleSinceHint; }
    void setLockedHint(bool locked) { m_lockedHint = locked; }
    void setIdleHint(bool idle, qulonglong sinceUsec)
    {
        m_idleSinceHint = sinceUsec;
        m_idleHint = idle;
    }

private:
    const QString m_id;
    std::atomic<bool> m_lockedHint = false;
    std::atomic<bool> m_idleHint = false;
    std::atomic<qulonglong> m_idleSinceHint = 0;
};

// org.gnome.Mutter.IdleMonitor, answering in milliseconds.
class FakeMutterIdleMonitor : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.Mutter.IdleMonitor")
public:
    void setIdleMs(qulonglong ms) { m_idleMs = ms; }

public Q_SLOTS:
    qulonglong GetIdletime() { return m_idleMs; }

private:
    std::atomic<qulonglong> m_idleMs = 0;
};

// org.freedesktop.ScreenSaver, answering in milliseconds, or refusing as KDE on Wayland does.
class FakeScreenSaver : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    void setIdleMs(uint ms) { m_idleMs = ms; }
    void setNotSupported(bool refuses) { m_notSupported = refuses; }

public Q_SLOTS:
    uint GetSessionIdleTime();

private:
    std::atomic<uint> m_idleMs = 0;
    std::atomic<bool> m_notSupported = false;
};

// Counts a marker signal the test sends after the ones under test: signals from one sender
// arrive in order, so once the marker is in, everything sent before it has been handled.
class SignalMarker : public QObject {
    Q_OBJECT
public:
    int arrivals() const { return m_arrivals; }

public Q_SLOTS:
    void arrived() { ++m_arrivals; }

private:
    int m_arrivals = 0;
};
