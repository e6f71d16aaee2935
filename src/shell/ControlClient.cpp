#include "ControlClient.h"

#include "ApplicationIdentity.h"

#include <QDBusArgument>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

ControlClient::ControlClient(QDBusConnection connection)
    : m_connection(std::move(connection))
{}

bool ControlClient::isInstanceRunning() const
{
    if (!m_connection.isConnected())
        return false;
    QDBusMessage query = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    query << ApplicationIdentity::busName;
    const QDBusMessage reply = callAndWait(query);
    return reply.type() == QDBusMessage::ReplyMessage && reply.arguments().value(0).toBool();
}

QString ControlClient::call(const QString& method, const QVariantList& arguments) const
{
    QDBusMessage message =
        QDBusMessage::createMethodCall(ApplicationIdentity::busName, ApplicationIdentity::controlObjectPath,
                                       ApplicationIdentity::controlInterface, method);
    message.setArguments(arguments);
    const QDBusMessage reply = callObject(message);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return {};
    return reply.errorMessage().isEmpty() ? QStringLiteral("no answer") : reply.errorMessage();
}

std::optional<QVariantMap> ControlClient::properties() const
{
    QDBusMessage getAll = QDBusMessage::createMethodCall(
        ApplicationIdentity::busName, ApplicationIdentity::controlObjectPath,
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("GetAll"));
    getAll << ApplicationIdentity::controlInterface;
    const QDBusMessage reply = callObject(getAll);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    return qdbus_cast<QVariantMap>(reply.arguments().constFirst());
}

// The instance claims its bus name first, so that of two racing starts only one opens the store,
// and makes its control object once the store is open: a call in that moment (a second start
// right after the first) finds the name but no object yet.
QDBusMessage ControlClient::callObject(const QDBusMessage& message) const
{
    const QDeadlineTimer deadline(objectWaitMs);
    for (;;) {
        QDBusMessage reply = callAndWait(message);
        if (reply.errorName() != QLatin1String("org.freedesktop.DBus.Error.UnknownObject") ||
            deadline.hasExpired())
            return reply;
        QEventLoop pause;
        QTimer::singleShot(objectRetryMs, &pause, &QEventLoop::quit);
        pause.exec();
    }
}

// A blocking call would stall this thread's event loop, and with it a control object living
// in the same process; waiting in a local loop lets that object answer.
QDBusMessage ControlClient::callAndWait(const QDBusMessage& message) const
{
    QDBusPendingCallWatcher watcher(m_connection.asyncCall(message, callTimeoutMs));
    if (!watcher.isFinished()) {
        QEventLoop loop;
        QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return watcher.reply();
}
