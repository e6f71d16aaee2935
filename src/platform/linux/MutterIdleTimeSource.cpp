#include "MutterIdleTimeSource.h"

#include "IdleQueryTimeouts.h"

#include <QDBusMessage>
#include <QDBusReply>

MutterIdleTimeSource::MutterIdleTimeSource(QDBusConnection sessionBus)
    : m_sessionBus(std::move(sessionBus))
{}

bool MutterIdleTimeSource::probe(const QDBusConnection& sessionBus)
{
    return ask(sessionBus, IdleQueryTimeouts::probeMs).has_value();
}

std::optional<double> MutterIdleTimeSource::secondsSinceLastInput()
{
    return ask(m_sessionBus, IdleQueryTimeouts::tickMs);
}

std::optional<double> MutterIdleTimeSource::ask(const QDBusConnection& sessionBus, int timeoutMs)
{
    const QString interface = QStringLiteral("org.gnome.Mutter.IdleMonitor");
    const QDBusMessage call =
        QDBusMessage::createMethodCall(interface, QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core"),
                                       interface, QStringLiteral("GetIdletime"));
    const QDBusReply<qulonglong> reply = sessionBus.call(call, QDBus::Block, timeoutMs);
    if (!reply.isValid())
        return std::nullopt;
    return static_cast<double>(reply.value()) / 1000.0;
}
