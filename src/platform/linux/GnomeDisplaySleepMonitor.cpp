#include "GnomeDisplaySleepMonitor.h"

#include "DesktopDBusLogging.h"
#include "SessionEvents.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusReply>
#include <QDBusVariant>

namespace {

constexpr int startUpTimeoutMs = 1000;
constexpr int highestSleepingMode = 3;

QString service()
{
    return QStringLiteral("org.gnome.Mutter.DisplayConfig");
}

QString objectPath()
{
    return QStringLiteral("/org/gnome/Mutter/DisplayConfig");
}

QString powerSaveMode()
{
    return QStringLiteral("PowerSaveMode");
}

QString propertiesInterface()
{
    return QStringLiteral("org.freedesktop.DBus.Properties");
}

QDBusMessage getModeMessage()
{
    QDBusMessage get =
        QDBusMessage::createMethodCall(service(), objectPath(), propertiesInterface(), QStringLiteral("Get"));
    get << service() << powerSaveMode();
    return get;
}

} // namespace

GnomeDisplaySleepMonitor::GnomeDisplaySleepMonitor(QDBusConnection sessionBus, SessionEvents& events,
                                                   QObject* parent)
    : QObject(parent)
    , m_sessionBus(std::move(sessionBus))
    , m_events(events)
{}

bool GnomeDisplaySleepMonitor::start()
{
    if (!m_sessionBus.isConnected() || !m_sessionBus.interface()->isServiceRegistered(service())) {
        qCInfo(lcDesktopDBus) << "Mutter's display configuration is not on the session bus; display sleep "
                                 "is not observed through it";
        return false;
    }
    // Subscribed before the first read, so a change between the two is not lost.
    subscribe();
    // The screens count as awake at start, so a display already asleep is reported at once.
    m_asleep = false;
    readModeNow();
    return true;
}

void GnomeDisplaySleepMonitor::subscribe()
{
    m_sessionBus.connect(service(), objectPath(), propertiesInterface(), QStringLiteral("PropertiesChanged"),
                         this, SLOT(onPropertiesChanged(QString, QVariantMap, QStringList)));
    m_sessionBus.connect(service(), objectPath(), service(), QStringLiteral("MonitorsChanged"), this,
                         SLOT(onMonitorsChanged()));
}

void GnomeDisplaySleepMonitor::readModeNow()
{
    const QDBusReply<QDBusVariant> reply =
        m_sessionBus.call(getModeMessage(), QDBus::Block, startUpTimeoutMs);
    if (reply.isValid())
        applyMode(reply.value().variant().toInt());
    else
        qCInfo(lcDesktopDBus) << "could not read PowerSaveMode:" << reply.error().message();
}

void GnomeDisplaySleepMonitor::onPropertiesChanged(const QString& interface, const QVariantMap& changed,
                                                   const QStringList& invalidated)
{
    if (interface != service())
        return;
    const auto value = changed.constFind(powerSaveMode());
    if (value != changed.constEnd())
        applyMode(value->toInt());
    else if (invalidated.contains(powerSaveMode()))
        askForMode();
}

// WORKAROUND: Mutter's own interface description warns that PowerSaveMode can go stale
// without PropertiesChanged; a change of the monitors is when it is known to be refreshed.
void GnomeDisplaySleepMonitor::onMonitorsChanged()
{
    askForMode();
}

// Fetched without blocking, since this runs while the application is ticking.
void GnomeDisplaySleepMonitor::askForMode()
{
    auto* watcher = new QDBusPendingCallWatcher(m_sessionBus.asyncCall(getModeMessage()), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, &GnomeDisplaySleepMonitor::onModeReply);
}

void GnomeDisplaySleepMonitor::onModeReply(QDBusPendingCallWatcher* watcher)
{
    watcher->deleteLater();
    const QDBusPendingReply<QDBusVariant> reply = *watcher;
    if (!reply.isError())
        applyMode(reply.value().variant().toInt());
}

void GnomeDisplaySleepMonitor::applyMode(int mode)
{
    if (mode < modeOn || mode > highestSleepingMode)
        return;
    const bool asleep = mode != modeOn;
    if (asleep == m_asleep)
        return;
    m_asleep = asleep;
    if (asleep)
        Q_EMIT m_events.screensDidSleep();
    else
        Q_EMIT m_events.screensDidWake();
}
