#include "FakeGlobalShortcutsPortal.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QMutexLocker>

FakeGlobalShortcutsPortal::FakeGlobalShortcutsPortal()
{
    PortalShortcut::registerMetaType();
}

QList<QVariantMap> FakeGlobalShortcutsPortal::sessionRequests() const
{
    QMutexLocker lock(&m_mutex);
    return m_sessionRequests;
}

QStringList FakeGlobalShortcutsPortal::sessions() const
{
    QMutexLocker lock(&m_mutex);
    return m_sessions;
}

QList<FakeGlobalShortcutsPortal::Binding> FakeGlobalShortcutsPortal::bindings() const
{
    QMutexLocker lock(&m_mutex);
    return m_bindings;
}

QStringList FakeGlobalShortcutsPortal::closedSessions() const
{
    QMutexLocker lock(&m_mutex);
    return m_closedSessions;
}

QDBusObjectPath FakeGlobalShortcutsPortal::CreateSession(const QVariantMap& options)
{
    const QString sessionToken = options.value(QStringLiteral("session_handle_token")).toString();
    const QString session = objectPath(QStringLiteral("session"), sessionToken);
    connection().registerObject(session, QStringLiteral("org.freedesktop.portal.Session"), this,
                                QDBusConnection::ExportAllSlots);
    {
        QMutexLocker lock(&m_mutex);
        m_sessionRequests << options;
        m_sessions << session;
    }
    return answer(options, 0, {{QStringLiteral("session_handle"), session}});
}

QDBusObjectPath FakeGlobalShortcutsPortal::BindShortcuts(const QDBusObjectPath& session,
                                                         const QList<PortalShortcut>& shortcuts,
                                                         const QString& parentWindow,
                                                         const QVariantMap& options)
{
    {
        QMutexLocker lock(&m_mutex);
        m_bindings << Binding{session.path(), message().signature(), shortcuts, parentWindow, options};
    }
    return answer(options, m_bindResponse, {});
}

void FakeGlobalShortcutsPortal::Close()
{
    const QString session = message().path();
    connection().unregisterObject(session);
    QMutexLocker lock(&m_mutex);
    m_closedSessions << session;
}

// Named as the portal names them: the caller's unique name without ':' and with '_' for '.'.
QString FakeGlobalShortcutsPortal::objectPath(const QString& kind, const QString& token) const
{
    QString sender = message().service().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return QStringLiteral("/org/freedesktop/portal/desktop/%1/%2/%3").arg(kind, sender, token);
}

QDBusObjectPath FakeGlobalShortcutsPortal::answer(const QVariantMap& options, uint response,
                                                  const QVariantMap& results)
{
    QString token = options.value(QStringLiteral("handle_token")).toString();
    if (token.isEmpty()) {
        QMutexLocker lock(&m_mutex);
        token = QStringLiteral("fake%1").arg(++m_tokens);
    }
    const QDBusObjectPath request(objectPath(QStringLiteral("request"), token));
    QDBusMessage responseSignal = QDBusMessage::createSignal(
        request.path(), QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
    responseSignal << response << results;
    setDelayedReply(true);
    const QDBusMessage reply = message().createReply(QVariant::fromValue(request));
    if (m_respondEarly)
        connection().send(responseSignal);
    connection().send(reply);
    if (!m_respondEarly)
        connection().send(responseSignal);
    return request;
}
