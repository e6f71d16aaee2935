#include "DBusMock.h"

#include "PrivateBus.h"

#include <QDBusArgument>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcessEnvironment>
#include <QThread>

namespace {

constexpr int startTimeoutMs = 15000;

QVariant wrapped(const QVariant& value)
{
    return QVariant::fromValue(QDBusVariant(value));
}

} // namespace

// The template decides which bus it wants; both lead to the private one. Debian's interpreter
// is named outright, since the one first on PATH may lack the dbus bindings.
DBusMock::DBusMock(const PrivateBus& bus, Service service, const QString& templateName,
                   const QVariantMap& parameters)
    : m_service(std::move(service))
    , m_connection(bus.connect(QStringLiteral("dbusmock-control ") + bus.address()))
{
    QStringList arguments{QStringLiteral("-m"), QStringLiteral("dbusmock")};
    if (templateName.isEmpty())
        arguments << QStringLiteral("--session") << m_service.name << m_service.path << m_service.interface;
    else
        arguments << QStringLiteral("--template") << templateName << QStringLiteral("--parameters")
                  << QString::fromUtf8(QJsonDocument(QJsonObject::fromVariantMap(parameters))
                                           .toJson(QJsonDocument::Compact));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address());
    environment.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), bus.address());
    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral("/usr/bin/python3"), arguments);
    m_ready = m_process.waitForStarted(startTimeoutMs) && waitUntilServing();
}

// The mock claims its name before it loads the template, and answers calls only once it has:
// the first answered call means every method is in place.
bool DBusMock::waitUntilServing()
{
    const QDeadlineTimer deadline(startTimeoutMs);
    while (!deadline.hasExpired() && m_process.state() == QProcess::Running) {
        if (call(QStringLiteral("GetCalls")).type() == QDBusMessage::ReplyMessage)
            return true;
        QThread::msleep(20);
    }
    return false;
}

void DBusMock::stop()
{
    m_process.terminate();
    if (!m_process.waitForFinished(3000))
        m_process.kill();
    m_process.waitForFinished(3000);
    m_ready = false;
}

QDBusMessage DBusMock::call(const QString& method, const QVariantList& arguments, const QString& interface,
                            const QString& path) const
{
    QDBusMessage message = QDBusMessage::createMethodCall(
        m_service.name, path.isEmpty() ? m_service.path : path,
        interface.isEmpty() ? QStringLiteral("org.freedesktop.DBus.Mock") : interface, method);
    message.setArguments(arguments);
    return m_connection.call(message, QDBus::Block, 5000);
}

void DBusMock::addMethod(const QString& name, const QString& out, const QString& code) const
{
    call(QStringLiteral("AddMethod"), {QString(), name, QString(), out, code});
}

void DBusMock::updateProperties(const QVariantMap& changed, const QString& path) const
{
    QVariantMap values;
    for (auto it = changed.cbegin(); it != changed.cend(); ++it)
        values.insert(it.key(), wrapped(it.value()));
    call(QStringLiteral("UpdateProperties"), {QString(), values}, {}, path);
}

void DBusMock::emitSignal(const QString& interface, const QString& name, const QString& signature,
                          const QVariantList& arguments, const QString& path) const
{
    QVariantList values;
    for (const QVariant& argument : arguments)
        values << wrapped(argument);
    call(QStringLiteral("EmitSignal"), {interface, name, signature, values}, {}, path);
}

// GetMethodCalls answers a(tav): when each call came, and its arguments.
QList<QVariantList> DBusMock::callsOf(const QString& method) const
{
    const auto calls = qdbus_cast<QList<std::pair<qulonglong, QVariantList>>>(
        call(QStringLiteral("GetMethodCalls"), {method}).arguments().value(0));
    QList<QVariantList> arguments;
    for (const auto& each : calls)
        arguments << each.second;
    return arguments;
}
