#include "LogindSession.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusVariant>

namespace {

constexpr int startUpTimeoutMs = 1000;

} // namespace

// WORKAROUND: GetSessionByPID and GetSession("auto") fail when we run as a systemd user unit
// (XDG autostart included), because such a process belongs to no session. The "auto" object
// still resolves to the user's display session, so its Id names the real session.
QString LogindSession::findPath(const QDBusConnection& systemBus)
{
    if (!systemBus.isConnected())
        return {};
    QString id = idOfAutoSession(systemBus);
    if (id.isEmpty())
        id = qEnvironmentVariable("XDG_SESSION_ID");
    if (id.isEmpty())
        return {};
    return pathOfSessionId(systemBus, id);
}

QString LogindSession::idOfAutoSession(const QDBusConnection& systemBus)
{
    QDBusMessage get = QDBusMessage::createMethodCall(
        service(), managerPath() + QStringLiteral("/session/auto"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << sessionInterface() << QStringLiteral("Id");
    const QDBusReply<QDBusVariant> reply = systemBus.call(get, QDBus::Block, startUpTimeoutMs);
    if (!reply.isValid())
        return {};
    return reply.value().variant().toString();
}

QString LogindSession::pathOfSessionId(const QDBusConnection& systemBus, const QString& id)
{
    QDBusMessage call = QDBusMessage::createMethodCall(service(), managerPath(), managerInterface(),
                                                       QStringLiteral("GetSession"));
    call << id;
    const QDBusReply<QDBusObjectPath> reply = systemBus.call(call, QDBus::Block, startUpTimeoutMs);
    if (!reply.isValid())
        return {};
    return reply.value().path();
}
