#include "DBusMock.h"

#include "PrivateBus.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcessEnvironment>
#include <QThread>

namespace {

constexpr int startTimeoutMs = 15000;
const QString mockInterface = QStringLiteral("org.freedesktop.DBus.Mock");

QString nextConnectionName()
{
    static int count = 0;
    return QStringLiteral("dbusmock-control-%1").arg(++count);
}

QVariantList variants(const QVariantList& values)
{
    QVariantList wrapped;
    for (const QVariant& value : values)
        wrapped << QVariant::fromValue(QDBusVariant(value));
    return wrapped;
}

} // namespace

DBusMock::DBusMock(const PrivateBus& bus, const QString& templateName, Service service,
                   const QVariantMap& parameters)
    : m_service(std::move(service))
    , m_connectionName(nextConnectionName())
    , m_connection(bus.connect(m_connectionName))
{
    const QByteArray json =
        QJsonDocument(QJsonObject::fromVariantMap(parameters)).toJson(QJsonDocument::Compact);
    start(
        {QStringLiteral("--template"), templateName, QStringLiteral("--parameters"), QString::fromUtf8(json)},
        bus.address());
}

DBusMock::DBusMock(const PrivateBus& bus, Service service)
    : m_service(std::move(service))
    , m_connectionName(nextConnectionName())
    , m_connection(bus.connect(m_connectionName))
{
    start({QStringLiteral("--session"), m_service.name, m_service.path, m_service.interface}, bus.address());
}

DBusMock::~DBusMock()
{
    stop();
    QDBusConnection::disconnectFromBus(m_connectionName);
}

// The template decides which bus it wants; both lead to the private one. Debian's interpreter
// is named outright, since the one first on PATH may lack the dbus bindings.
void DBusMock::start(const QStringList& arguments, const QString& address)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
    environment.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), address);
    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral("/usr/bin/python3"),
                    QStringList{QStringLiteral("-m"), QStringLiteral("dbusmock")} + arguments);
    m_ready = m_process.waitForStarted(startTimeoutMs) && waitUntilServing();
}

// The mock claims its name before it loads the template, and answers calls only once it has:
// the first answered call means every method is in place.
bool DBusMock::waitUntilServing()
{
    const QDeadlineTimer deadline(startTimeoutMs);
    while (!deadline.hasExpired() && m_process.state() == QProcess::Running) {
        if (call(QStringLiteral("GetCalls"), {}).type() == QDBusMessage::ReplyMessage)
            return true;
        QThread::msleep(20);
    }
    return false;
}

void DBusMock::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(3000))
        m_process.kill();
    m_process.waitForFinished(3000);
    m_ready = false;
}

QDBusMessage DBusMock::call(const QString& method, const QVariantList& arguments, const QString& interface,
                            const QString& path) const
{
    QDBusMessage message =
        QDBusMessage::createMethodCall(m_service.name, path.isEmpty() ? m_service.path : path,
                                       interface.isEmpty() ? mockInterface : interface, method);
    message.setArguments(arguments);
    return m_connection.call(message, QDBus::Block, 5000);
}

void DBusMock::addMethod(const QString& name, const QString& in, const QString& out,
                         const QString& code) const
{
    call(QStringLiteral("AddMethod"), {QString(), name, in, out, code});
}

void DBusMock::addProperty(const QString& name, const QVariant& value) const
{
    call(QStringLiteral("AddProperty"), {QString(), name, QVariant::fromValue(QDBusVariant(value))});
}

void DBusMock::updateProperties(const QVariantMap& changed, const QString& path) const
{
    QVariantMap wrapped;
    for (auto it = changed.cbegin(); it != changed.cend(); ++it)
        wrapped.insert(it.key(), QVariant::fromValue(QDBusVariant(it.value())));
    call(QStringLiteral("UpdateProperties"), {QString(), wrapped}, {}, path);
}

void DBusMock::emitSignal(const QString& interface, const QString& name, const QString& signature,
                          const QVariantList& arguments, const QString& path) const
{
    call(QStringLiteral("EmitSignal"), {interface, name, signature, variants(arguments)}, {}, path);
}

QList<QVariantList> DBusMock::callsOf(const QString& method) const
{
    const QDBusMessage reply = call(QStringLiteral("GetMethodCalls"), {method});
    QList<QVariantList> calls;
    if (reply.arguments().isEmpty())
        return calls;
    const QDBusArgument list = reply.arguments().constFirst().value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        qulonglong timestamp = 0;
        QVariantList arguments;
        list.beginStructure();
        list >> timestamp;
        list.beginArray();
        while (!list.atEnd()) {
            QDBusVariant argument;
            list >> argument;
            arguments << argument.variant();
        }
        list.endArray();
        list.endStructure();
        calls << arguments;
    }
    list.endArray();
    return calls;
}
