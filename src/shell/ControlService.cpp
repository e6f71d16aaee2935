#include "ControlService.h"

#include "ApplicationIdentity.h"
#include "ControlAdaptor.h"
#include "MenuBarViewModel.h"
#include "PauseTimer.h"
#include "ScreenTimeManager.h"
#include "ThresholdTier.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>

ControlService::ControlService(MenuBarViewModel& model, ScreenTimeManager& manager, QObject* parent)
    : QObject(parent)
    , m_model(model)
    , m_manager(manager)
{
    new ControlAdaptor(this);
    m_publishTimer.setSingleShot(true);
    m_publishTimer.setInterval(0);
    connect(&m_publishTimer, &QTimer::timeout, this, &ControlService::publishChanges);
    connect(&m_model, &MenuBarViewModel::accumulatedSecondsChanged, this, &ControlService::schedulePublish);
    connect(&m_model, &MenuBarViewModel::formattedTimeChanged, this, &ControlService::schedulePublish);
    connect(&m_model, &MenuBarViewModel::thresholdTierChanged, this, &ControlService::schedulePublish);
    connect(&m_model, &MenuBarViewModel::isPausedChanged, this, &ControlService::schedulePublish);
    // Pausing over the bus answers before the next tick refreshes the model.
    connect(&m_manager, &ScreenTimeManager::isPausedChanged, this, &ControlService::schedulePublish);
    m_subscribers.setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
    connect(&m_subscribers, &QDBusServiceWatcher::serviceUnregistered, &m_subscribers,
            &QDBusServiceWatcher::removeWatchedService);
}

ControlService::~ControlService()
{
    if (!m_connection)
        return;
    m_connection->unregisterObject(ApplicationIdentity::controlObjectPath);
    m_connection->unregisterService(ApplicationIdentity::busName);
}

bool ControlService::registerOn(QDBusConnection connection)
{
    if (!connection.isConnected() || !connection.registerObject(ApplicationIdentity::controlObjectPath, this,
                                                                QDBusConnection::ExportAdaptors))
        return false;
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        connection.interface()->registerService(ApplicationIdentity::busName,
                                                QDBusConnectionInterface::DontQueueService,
                                                QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid() || reply.value() != QDBusConnectionInterface::ServiceRegistered) {
        connection.unregisterObject(ApplicationIdentity::controlObjectPath);
        return false;
    }
    m_connection = connection;
    m_subscribers.setConnection(connection);
    // The bus name is claimed at start-up before this object exists, so a listener that saw the
    // name appear may have asked too early. With nothing published yet, the first publish, once
    // the start-up has drawn the figures, carries all of them and says the object is there.
    schedulePublish();
    return true;
}

qint64 ControlService::todaySeconds() const
{
    return m_model.accumulatedSeconds();
}

QString ControlService::todayText() const
{
    return m_model.formattedTime();
}

QString ControlService::tier() const
{
    return tierName(m_model.thresholdTier());
}

// The manager's flag, not the model's copy: a Pause call is visible at once.
bool ControlService::isPaused() const
{
    return m_manager.isPaused();
}

bool ControlService::isCounting() const
{
    return m_manager.isCounting();
}

void ControlService::pause()
{
    Q_EMIT pauseRequested(true);
}

void ControlService::resume()
{
    Q_EMIT pauseRequested(false);
}

void ControlService::togglePause()
{
    Q_EMIT pauseToggleRequested();
}

void ControlService::pauseFor(qint64 seconds)
{
    if (seconds >= 1 && seconds <= PauseTimer::longestPause)
        Q_EMIT pauseForRequested(seconds);
}

void ControlService::pauseUntilTomorrow()
{
    Q_EMIT pauseUntilTomorrowRequested();
}

void ControlService::requestShowPanel()
{
    Q_EMIT showPanelRequested();
}

void ControlService::requestHistory()
{
    Q_EMIT historyRequested();
}

void ControlService::requestSettings()
{
    Q_EMIT settingsRequested();
}

void ControlService::requestSharingReload()
{
    Q_EMIT sharingReloadRequested();
}

QStringList ControlService::figures()
{
    m_model.refreshStatistics();
    return m_model.figureLines();
}

void ControlService::subscribe(const QString& uniqueName)
{
    if (!m_connection || m_subscribers.watchedServices().contains(uniqueName))
        return;
    m_subscribers.addWatchedService(uniqueName);
    // A subscriber that left before the watch began would otherwise be kept for good.
    if (!m_connection->interface()->isServiceRegistered(uniqueName))
        m_subscribers.removeWatchedService(uniqueName);
}

QVariantMap ControlService::properties() const
{
    return {
        {QStringLiteral("TodaySeconds"), QVariant::fromValue(todaySeconds())},
        {QStringLiteral("TodayText"), todayText()},
        {QStringLiteral("Tier"), tier()},
        {QStringLiteral("Paused"), isPaused()},
        {QStringLiteral("Counting"), isCounting()},
        {QStringLiteral("AllComputersTodaySeconds"), QVariant::fromValue(allComputersTodaySeconds())},
    };
}

void ControlService::schedulePublish()
{
    if (m_connection && !m_publishTimer.isActive())
        m_publishTimer.start();
}

void ControlService::publishChanges()
{
    m_publishTimer.stop();
    if (onlyTheSecondsMoved())
        return;
    const QVariantMap current = properties();
    QVariantMap changed;
    for (auto it = current.cbegin(); it != current.cend(); ++it) {
        if (m_published.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    }
    m_published = current;
    if (!changed.isEmpty())
        announce(changed);
}

void ControlService::announce(const QVariantMap& changed)
{
    if (!m_connection)
        return;
    QDBusMessage signal = QDBusMessage::createSignal(ApplicationIdentity::controlObjectPath,
                                                     QStringLiteral("org.freedesktop.DBus.Properties"),
                                                     QStringLiteral("PropertiesChanged"));
    signal << ApplicationIdentity::controlInterface << changed << QStringList();
    m_connection->send(signal);
}

// Held back, the seconds still reach the next signal, since m_published keeps the figures last sent.
// The all-computers total moves with our own seconds (and with other files at most once a
// minute), so it waits for the same minute as they do. Asked before the properties are built:
// it is the case of nearly every second.
bool ControlService::onlyTheSecondsMoved() const
{
    if (!m_subscribers.watchedServices().isEmpty())
        return false;
    const auto published = [this](const QString& name) { return m_published.value(name); };
    return published(QStringLiteral("Tier")) == QVariant(tier()) &&
           published(QStringLiteral("Paused")) == QVariant(isPaused()) &&
           published(QStringLiteral("Counting")) == QVariant(isCounting()) &&
           published(QStringLiteral("TodaySeconds")).toLongLong() / 60 == todaySeconds() / 60;
}
