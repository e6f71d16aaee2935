#include "LogindIdleTimeSource.h"

#include "IdleQueryTimeouts.h"
#include "LogindSession.h"

#include <QDBusMessage>
#include <QDBusReply>
#include <QVariantMap>

#include <algorithm>

LogindIdleTimeSource::LogindIdleTimeSource(QDBusConnection systemBus, QString sessionPath, Clock clock)
    : m_systemBus(std::move(systemBus))
    , m_sessionPath(std::move(sessionPath))
    , m_clock(std::move(clock))
{}

bool LogindIdleTimeSource::probe(const QDBusConnection& systemBus, const QString& sessionPath)
{
    return !sessionPath.isEmpty() && ask(systemBus, sessionPath, IdleQueryTimeouts::probeMs).has_value();
}

// IdleSinceHint is wall-clock time in microseconds since the epoch.
std::optional<double> LogindIdleTimeSource::secondsSinceLastInput()
{
    const std::optional<Hint> hint = ask(m_systemBus, m_sessionPath, IdleQueryTimeouts::tickMs);
    if (!hint)
        return std::nullopt;
    if (!hint->idle)
        return 0.0;
    const double nowUsec = static_cast<double>(m_clock().toMSecsSinceEpoch()) * 1000.0;
    return std::max(0.0, (nowUsec - static_cast<double>(hint->sinceUsec)) / 1e6);
}

// One GetAll, so both hints come from the same moment.
std::optional<LogindIdleTimeSource::Hint> LogindIdleTimeSource::ask(const QDBusConnection& systemBus,
                                                                    const QString& sessionPath, int timeoutMs)
{
    QDBusMessage call = QDBusMessage::createMethodCall(LogindSession::service(), sessionPath,
                                                       QStringLiteral("org.freedesktop.DBus.Properties"),
                                                       QStringLiteral("GetAll"));
    call << LogindSession::sessionInterface();
    const QDBusReply<QVariantMap> reply = systemBus.call(call, QDBus::Block, timeoutMs);
    if (!reply.isValid())
        return std::nullopt;
    const QVariantMap properties = reply.value();
    const auto idle = properties.constFind(QStringLiteral("IdleHint"));
    const auto since = properties.constFind(QStringLiteral("IdleSinceHint"));
    if (idle == properties.constEnd() || since == properties.constEnd())
        return std::nullopt;
    return Hint{idle->toBool(), since->toULongLong()};
}
