#include "ScreenSaverIdleTimeSource.h"

#include "IdleQueryTimeouts.h"

#include <QDBusMessage>
#include <QDBusReply>

ScreenSaverIdleTimeSource::ScreenSaverIdleTimeSource(QDBusConnection sessionBus)
    : m_sessionBus(std::move(sessionBus))
{}

bool ScreenSaverIdleTimeSource::probe(const QDBusConnection& sessionBus)
{
    return ask(sessionBus, IdleQueryTimeouts::probeMs).has_value();
}

std::optional<double> ScreenSaverIdleTimeSource::secondsSinceLastInput()
{
    return ask(m_sessionBus, IdleQueryTimeouts::tickMs);
}

// The answer is in milliseconds.
std::optional<double> ScreenSaverIdleTimeSource::ask(const QDBusConnection& sessionBus, int timeoutMs)
{
    const QString interface = QStringLiteral("org.freedesktop.ScreenSaver");
    const QDBusMessage call = QDBusMessage::createMethodCall(interface, QStringLiteral("/ScreenSaver"),
                                                             interface, QStringLiteral("GetSessionIdleTime"));
    const QDBusReply<uint> reply = sessionBus.call(call, QDBus::Block, timeoutMs);
    if (!reply.isValid())
        return std::nullopt;
    return static_cast<double>(reply.value()) / 1000.0;
}
