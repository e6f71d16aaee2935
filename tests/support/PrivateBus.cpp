#include "PrivateBus.h"

#include <QDeadlineTimer>

PrivateBus::PrivateBus()
{
    // Our own configuration instead of --session: the machine's session configuration lists the
    // installed services, and a desktop's notification server would then start on demand.
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--config-file=" LUMATICK_PRIVATE_BUS_CONFIG), QStringLiteral("--nofork"),
                    QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")});
    const QDeadlineTimer deadline(5000);
    while (m_daemon.waitForStarted(5000) && !m_daemon.canReadLine() && !deadline.hasExpired())
        m_daemon.waitForReadyRead(100);
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
}

PrivateBus::~PrivateBus()
{
    for (const QString& name : std::as_const(m_connectionNames))
        QDBusConnection::disconnectFromBus(name);
    m_daemon.terminate();
    if (!m_daemon.waitForFinished(2000))
        m_daemon.kill();
}

QDBusConnection PrivateBus::connect(const QString& connectionName) const
{
    m_connectionNames.append(connectionName);
    return QDBusConnection::connectToBus(m_address, connectionName);
}
