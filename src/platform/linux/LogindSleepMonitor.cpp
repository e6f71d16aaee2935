#include "LogindSleepMonitor.h"

#include "LogindSession.h"
#include "SessionEvents.h"
#include "SessionLogging.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

LogindSleepMonitor::LogindSleepMonitor(QDBusConnection systemBus, SessionEvents& events, QObject* parent)
    : QObject(parent)
    , m_systemBus(std::move(systemBus))
    , m_events(events)
{}

bool LogindSleepMonitor::start()
{
    if (!m_systemBus.isConnected() ||
        !m_systemBus.interface()->isServiceRegistered(LogindSession::service())) {
        qCWarning(lcDesktopSession)
            << "logind is not on the system bus; machine sleep and wake will go unnoticed";
        return false;
    }
    m_systemBus.connect(LogindSession::service(), LogindSession::managerPath(),
                        LogindSession::managerInterface(), QStringLiteral("PrepareForSleep"), this,
                        SLOT(onPrepareForSleep(bool)));
    takeInhibitor();
    return true;
}

// Handlers connected directly to machineWillSleep run inside the emit, while the inhibitor
// still holds the sleep off; only then may logind go on.
void LogindSleepMonitor::onPrepareForSleep(bool goingToSleep)
{
    if (goingToSleep) {
        m_asleep = true;
        Q_EMIT m_events.machineWillSleep();
        releaseInhibitor();
    } else {
        m_asleep = false;
        Q_EMIT m_events.machineDidWake();
        takeInhibitor();
    }
}

// Asked without blocking, because on wake this runs on the main thread while the desktop is
// busy coming back.
void LogindSleepMonitor::takeInhibitor()
{
    if (m_inhibitor.isValid())
        return;
    QDBusMessage call =
        QDBusMessage::createMethodCall(LogindSession::service(), LogindSession::managerPath(),
                                       LogindSession::managerInterface(), QStringLiteral("Inhibit"));
    call << QStringLiteral("sleep") << QStringLiteral("Lumatick")
         << QStringLiteral("Saving today's screen time") << QStringLiteral("delay");
    auto* watcher = new QDBusPendingCallWatcher(m_systemBus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, &LogindSleepMonitor::onInhibitReply);
}

void LogindSleepMonitor::onInhibitReply(QDBusPendingCallWatcher* watcher)
{
    watcher->deleteLater();
    const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *watcher;
    if (reply.isError()) {
        qCWarning(lcDesktopSession)
            << "logind refused a sleep delay; today's total may miss the last seconds "
               "before sleep:"
            << reply.error().message();
        return;
    }
    // A lock granted after the machine began to sleep would only hold the sleep up.
    if (m_asleep || m_inhibitor.isValid())
        return;
    m_inhibitor = reply.value();
}

// Logind waits until every copy of the descriptor is closed; ours is the only one.
void LogindSleepMonitor::releaseInhibitor()
{
    m_inhibitor = QDBusUnixFileDescriptor();
}
