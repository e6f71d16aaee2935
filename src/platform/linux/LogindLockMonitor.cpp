#include "LogindLockMonitor.h"

#include "LogindSession.h"
#include "SessionEvents.h"
#include "SessionLogging.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusReply>
#include <QDBusVariant>

namespace {

constexpr int startUpTimeoutMs = 1000;

QString propertiesInterface()
{
    return QStringLiteral("org.freedesktop.DBus.Properties");
}

QString lockedHint()
{
    return QStringLiteral("LockedHint");
}

} // namespace

LogindLockMonitor::LogindLockMonitor(QDBusConnection systemBus, QDBusConnection sessionBus,
                                     SessionEvents& events, QObject* parent)
    : QObject(parent)
    , m_systemBus(std::move(systemBus))
    , m_sessionBus(std::move(sessionBus))
    , m_events(events)
{}

void LogindLockMonitor::start()
{
    watchScreenSavers();
    watchLogindSession();
}

void LogindLockMonitor::watchLogindSession()
{
    if (!m_systemBus.isConnected() ||
        !m_systemBus.interface()->isServiceRegistered(LogindSession::service())) {
        qCWarning(lcDesktopSession) << "logind is not on the system bus; locking is noticed only through the "
                                       "screen saver";
        return;
    }
    m_sessionPath = LogindSession::findPath(m_systemBus);
    if (m_sessionPath.isEmpty()) {
        qCWarning(lcDesktopSession) << "logind did not name our session; locking is noticed only through the "
                                       "screen saver";
        return;
    }
    m_systemBus.connect(LogindSession::service(), m_sessionPath, propertiesInterface(),
                        QStringLiteral("PropertiesChanged"), this,
                        SLOT(onSessionPropertiesChanged(QString, QVariantMap, QStringList)));
    readLockedHintNow();
}

// KDE emits on both screen saver paths; the duplicates are dropped in setLocked.
void LogindLockMonitor::watchScreenSavers()
{
    const QString freedesktop = QStringLiteral("org.freedesktop.ScreenSaver");
    const QString gnome = QStringLiteral("org.gnome.ScreenSaver");
    const QString activeChanged = QStringLiteral("ActiveChanged");
    const char* slot = SLOT(onScreenSaverActiveChanged(bool));
    m_sessionBus.connect(freedesktop, QStringLiteral("/org/freedesktop/ScreenSaver"), freedesktop,
                         activeChanged, this, slot);
    m_sessionBus.connect(freedesktop, QStringLiteral("/ScreenSaver"), freedesktop, activeChanged, this, slot);
    m_sessionBus.connect(gnome, QStringLiteral("/org/gnome/ScreenSaver"), gnome, activeChanged, this, slot);
}

void LogindLockMonitor::readLockedHintNow()
{
    QDBusMessage get = QDBusMessage::createMethodCall(LogindSession::service(), m_sessionPath,
                                                      propertiesInterface(), QStringLiteral("Get"));
    get << LogindSession::sessionInterface() << lockedHint();
    const QDBusReply<QDBusVariant> reply = m_systemBus.call(get, QDBus::Block, startUpTimeoutMs);
    if (reply.isValid() && reply.value().variant().toBool())
        setLocked(true);
}

void LogindLockMonitor::onSessionPropertiesChanged(const QString& interface, const QVariantMap& changed,
                                                   const QStringList& invalidated)
{
    if (interface != LogindSession::sessionInterface())
        return;
    const auto value = changed.constFind(lockedHint());
    if (value != changed.constEnd())
        setLocked(value->toBool());
    else if (invalidated.contains(lockedHint()))
        askForLockedHint();
}

// The signal may name the property without its value; fetched without blocking the tick.
void LogindLockMonitor::askForLockedHint()
{
    QDBusMessage get = QDBusMessage::createMethodCall(LogindSession::service(), m_sessionPath,
                                                      propertiesInterface(), QStringLiteral("Get"));
    get << LogindSession::sessionInterface() << lockedHint();
    auto* watcher = new QDBusPendingCallWatcher(m_systemBus.asyncCall(get), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, &LogindLockMonitor::onLockedHintReply);
}

void LogindLockMonitor::onLockedHintReply(QDBusPendingCallWatcher* watcher)
{
    watcher->deleteLater();
    const QDBusPendingReply<QDBusVariant> reply = *watcher;
    if (!reply.isError())
        setLocked(reply.value().variant().toBool());
}

void LogindLockMonitor::onScreenSaverActiveChanged(bool active)
{
    setLocked(active);
}

void LogindLockMonitor::setLocked(bool locked)
{
    if (locked == m_locked)
        return;
    m_locked = locked;
    if (locked)
        Q_EMIT m_events.screenLocked();
    else
        Q_EMIT m_events.screenUnlocked();
}
