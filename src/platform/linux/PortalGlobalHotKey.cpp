#include "PortalGlobalHotKey.h"

#include "DesktopDBusLogging.h"
#include "PortalShortcut.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusReply>
#include <QDBusVariant>
#include <QStringList>

namespace {

constexpr int versionTimeoutMs = 2000;
constexpr uint responseSuccess = 0;

QString portalService()
{
    return QStringLiteral("org.freedesktop.portal.Desktop");
}

QString portalPath()
{
    return QStringLiteral("/org/freedesktop/portal/desktop");
}

QString shortcutsInterface()
{
    return QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
}

QString requestInterface()
{
    return QStringLiteral("org.freedesktop.portal.Request");
}

QString sessionInterface()
{
    return QStringLiteral("org.freedesktop.portal.Session");
}

const char* responseSlot()
{
    return SLOT(onResponse(uint, QVariantMap, QDBusMessage));
}

const char* closedSlot()
{
    return SLOT(onSessionClosed(QVariantMap, QDBusMessage));
}

// WORKAROUND: the portal sends session_handle as a string although it names an object; an
// object path is accepted as well, should a portal send the fitting type.
QString sessionHandleFrom(const QVariantMap& results)
{
    const QVariant handle = results.value(QStringLiteral("session_handle"));
    if (handle.metaType() == QMetaType::fromType<QDBusObjectPath>())
        return handle.value<QDBusObjectPath>().path();
    return handle.toString();
}

} // namespace

PortalGlobalHotKey::PortalGlobalHotKey(QDBusConnection sessionBus, KeyNameProvider keyName, QObject* parent)
    : GlobalHotKey(parent)
    , m_bus(std::move(sessionBus))
    , m_keyName(std::move(keyName))
{
    PortalShortcut::registerMetaType();
}

PortalGlobalHotKey::~PortalGlobalHotKey()
{
    unregisterHotKey();
}

QString PortalGlobalHotKey::shortcutId()
{
    return QStringLiteral("toggle-pause");
}

QString PortalGlobalHotKey::shortcutDescription()
{
    return QStringLiteral("Pause or resume tracking");
}

QString PortalGlobalHotKey::preferredTrigger(int modifiers, const QString& keyName)
{
    if (keyName.isEmpty())
        return {};
    QStringList parts;
    if (modifiers & controlModifier)
        parts << QStringLiteral("CTRL");
    if (modifiers & optionModifier)
        parts << QStringLiteral("ALT");
    if (modifiers & shiftModifier)
        parts << QStringLiteral("SHIFT");
    if (modifiers & commandModifier)
        parts << QStringLiteral("LOGO");
    parts << keyName;
    return parts.join(QLatin1Char('+'));
}

bool PortalGlobalHotKey::isSupported() const
{
    if (!m_supported) {
        const std::optional<uint> version = queryVersion();
        m_supported = version && *version >= minimumVersion;
        if (version && !*m_supported)
            qCInfo(lcDesktopDBus).noquote()
                << QStringLiteral(
                       "the global shortcuts portal has version %1, below %2; the pause shortcut needs a "
                       "key binding of the desktop")
                       .arg(*version)
                       .arg(minimumVersion);
    }
    return *m_supported;
}

// The property is read rather than the name looked up, so an activatable portal gets started.
std::optional<uint> PortalGlobalHotKey::queryVersion() const
{
    QDBusMessage get = QDBusMessage::createMethodCall(portalService(), portalPath(),
                                                      QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << shortcutsInterface() << QStringLiteral("version");
    const QDBusReply<QDBusVariant> reply = m_bus.call(get, QDBus::Block, versionTimeoutMs);
    if (!reply.isValid()) {
        qCInfo(lcDesktopDBus).noquote()
            << QStringLiteral(
                   "no global shortcuts portal on the session bus (%1); the pause shortcut needs a "
                   "key binding of the desktop")
                   .arg(reply.error().message());
        return std::nullopt;
    }
    return reply.value().variant().toUInt();
}

bool PortalGlobalHotKey::registerHotKey(int keyCode, int modifiers)
{
    if (!isSupported())
        return false;
    m_combination = Combination{keyCode, modifiers};
    m_refused = false;
    // A session on its way gets the newest combination once it exists.
    if (m_awaiting == Awaiting::session)
        return true;
    // Shortcuts are bound once per session, so a new combination takes a new session.
    closeSession();
    createSession();
    return true;
}

void PortalGlobalHotKey::unregisterHotKey()
{
    m_combination.reset();
    closeSession();
}

QString PortalGlobalHotKey::nextToken()
{
    return QStringLiteral("lumatick_%1").arg(++m_tokenCount);
}

// The portal names request and session objects after the caller's unique name (":1.42"
// becomes "1_42") and the token the caller chose, so the path is known before the call.
QString PortalGlobalHotKey::predictedPath(const QString& kind, const QString& token) const
{
    QString sender = m_bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return QStringLiteral("%1/%2/%3/%4").arg(portalPath(), kind, sender, token);
}

// Subscribed before the call goes out: the portal may answer before its reply reaches us.
void PortalGlobalHotKey::awaitResponse(Awaiting what, const QString& token)
{
    stopAwaiting();
    m_awaiting = what;
    m_requestPath = predictedPath(QStringLiteral("request"), token);
    m_bus.connect(portalService(), m_requestPath, requestInterface(), QStringLiteral("Response"), this,
                  responseSlot());
}

void PortalGlobalHotKey::stopAwaiting()
{
    if (!m_requestPath.isEmpty())
        m_bus.disconnect(portalService(), m_requestPath, requestInterface(), QStringLiteral("Response"), this,
                         responseSlot());
    m_requestPath.clear();
    m_awaiting = Awaiting::nothing;
}

void PortalGlobalHotKey::createSession()
{
    const QString token = nextToken();
    const QString sessionToken = nextToken();
    m_pendingSession = predictedPath(QStringLiteral("session"), sessionToken);
    awaitResponse(Awaiting::session, token);
    const QVariantMap options{{QStringLiteral("handle_token"), token},
                              {QStringLiteral("session_handle_token"), sessionToken}};
    callPortal(QStringLiteral("CreateSession"), {options});
}

void PortalGlobalHotKey::bindShortcuts()
{
    const QString token = nextToken();
    awaitResponse(Awaiting::binding, token);
    const QList<PortalShortcut> shortcuts{{shortcutId(), shortcutOptions()}};
    callPortal(QStringLiteral("BindShortcuts"),
               {QVariant::fromValue(QDBusObjectPath(m_session)), QVariant::fromValue(shortcuts), QString(),
                QVariantMap{{QStringLiteral("handle_token"), token}}});
}

QVariantMap PortalGlobalHotKey::shortcutOptions() const
{
    QVariantMap options{{QStringLiteral("description"), shortcutDescription()}};
    const QString keyName = m_keyName ? m_keyName(m_combination->keyCode) : QString();
    const QString trigger = preferredTrigger(m_combination->modifiers, keyName);
    if (!trigger.isEmpty())
        options.insert(QStringLiteral("preferred_trigger"), trigger);
    return options;
}

void PortalGlobalHotKey::closeSession()
{
    stopAwaiting();
    m_bound = false;
    if (m_session.isEmpty())
        return;
    m_bus.disconnect(portalService(), m_session, sessionInterface(), QStringLiteral("Closed"), this,
                     closedSlot());
    const QDBusMessage close = QDBusMessage::createMethodCall(portalService(), m_session, sessionInterface(),
                                                              QStringLiteral("Close"));
    m_bus.asyncCall(close);
    m_session.clear();
}

void PortalGlobalHotKey::callPortal(const QString& method, const QVariantList& arguments)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(portalService(), portalPath(), shortcutsInterface(), method);
    call.setArguments(arguments);
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    watcher->setProperty("requestPath", m_requestPath);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, &PortalGlobalHotKey::onCallFinished);
}

void PortalGlobalHotKey::onCallFinished(QDBusPendingCallWatcher* watcher)
{
    watcher->deleteLater();
    const QDBusPendingReply<QDBusObjectPath> reply = *watcher;
    const bool current = watcher->property("requestPath").toString() == m_requestPath;
    if (reply.isError()) {
        qCWarning(lcDesktopDBus).noquote()
            << "the global shortcuts portal refused a request:" << reply.error().message();
        if (current)
            stopAwaiting();
    } else if (current && reply.value().path() != m_requestPath) {
        qCWarning(lcDesktopDBus).noquote()
            << "the global shortcuts portal answers on an unexpected path" << reply.value().path();
    }
}

void PortalGlobalHotKey::onResponse(uint response, const QVariantMap& results, const QDBusMessage& message)
{
    if (message.path() != m_requestPath)
        return;
    const Awaiting answered = m_awaiting;
    stopAwaiting();
    if (response != responseSuccess) {
        m_refused = true;
        qCWarning(lcDesktopDBus) << "the global shortcuts portal did not grant the pause shortcut (response"
                                 << response << ")";
        return;
    }
    if (answered == Awaiting::session)
        sessionCreated(results);
    else if (answered == Awaiting::binding)
        m_bound = true;
}

void PortalGlobalHotKey::sessionCreated(const QVariantMap& results)
{
    m_session = sessionHandleFrom(results);
    if (m_session.isEmpty())
        m_session = m_pendingSession;
    m_bus.connect(portalService(), m_session, sessionInterface(), QStringLiteral("Closed"), this,
                  closedSlot());
    subscribeToActivations();
    if (m_combination)
        bindShortcuts();
    else
        closeSession();
}

// WORKAROUND: a subscription made while the portal's name has no owner yet never delivers
// (seen with Qt 6.4 when the portal starts after us), so it is made once the portal has
// answered with a session.
void PortalGlobalHotKey::subscribeToActivations()
{
    if (m_subscribedToActivations)
        return;
    m_subscribedToActivations =
        m_bus.connect(portalService(), portalPath(), shortcutsInterface(), QStringLiteral("Activated"), this,
                      SLOT(onActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
}

void PortalGlobalHotKey::onActivated(const QDBusObjectPath& session, const QString& id, qulonglong,
                                     const QVariantMap&)
{
    if (m_bound && session.path() == m_session && id == shortcutId())
        Q_EMIT pressed();
}

// The portal closes sessions on its own (the user revoked the shortcut, the portal restarted);
// a bound shortcut is then bound again in a new session, once per closing.
void PortalGlobalHotKey::onSessionClosed(const QVariantMap&, const QDBusMessage& message)
{
    if (message.path() != m_session)
        return;
    const bool wasBound = m_bound;
    m_bus.disconnect(portalService(), m_session, sessionInterface(), QStringLiteral("Closed"), this,
                     closedSlot());
    m_session.clear();
    m_bound = false;
    qCInfo(lcDesktopDBus) << "the global shortcuts portal closed our session";
    if (wasBound && m_combination)
        createSession();
}
