#include "StatusNotifierItem.h"

#include "StatusItemLogging.h"
#include "StatusNotifierHost.h"
#include "StatusNotifierItemAdaptor.h"
#include "StatusNotifierMenu.h"

#include <QAbstractEventDispatcher>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>

namespace {

QString propertiesInterface()
{
    return QStringLiteral("org.freedesktop.DBus.Properties");
}

QString watcherInterface()
{
    return QLatin1String(StatusNotifierItem::watcherService);
}

} // namespace

StatusNotifierItem::StatusNotifierItem(QDBusConnection bus, const QString& id, const QString& title,
                                       const DesktopSession& session, QObject* parent)
    : StatusItemBackend(parent)
    , m_bus(std::move(bus))
    , m_labelSender(m_bus)
    , m_id(id)
    , m_title(title)
    , m_session(session)
    , m_adaptor(new StatusNotifierItemAdaptor(*this))
    , m_menu(new StatusNotifierMenu(this))
    , m_hostShowsLabel(StatusNotifierHost::drawsLabel(QString(), session))
{
    StatusNotifierToolTip::registerMetaType();
    sendLabelBeforeSleeping();
    // Direct, so the figures are current before the menu's AboutToShow answers.
    connect(m_menu, &StatusNotifierMenu::aboutToShow, this, &StatusItemBackend::menuAboutToShow);
    connect(m_menu, &StatusNotifierMenu::openPanelRequested, this, &StatusItemBackend::panelRequested);
    connect(m_menu, &StatusNotifierMenu::pauseToggleRequested, this,
            &StatusItemBackend::pauseToggleRequested);
    connect(m_menu, &StatusNotifierMenu::pauseForRequested, this, &StatusItemBackend::pauseForRequested);
    connect(m_menu, &StatusNotifierMenu::pauseUntilTomorrowRequested, this,
            &StatusItemBackend::pauseUntilTomorrowRequested);
    connect(m_menu, &StatusNotifierMenu::historyRequested, this, &StatusItemBackend::historyRequested);
    connect(m_menu, &StatusNotifierMenu::settingsRequested, this, &StatusItemBackend::settingsRequested);
    connect(m_menu, &StatusNotifierMenu::quitRequested, this, &StatusItemBackend::quitRequested);
}

StatusNotifierItem::~StatusNotifierItem()
{
    if (!m_exported)
        return;
    // A host keeps a registration until our connection leaves the bus; Passive hides the item
    // meanwhile (the status travels in the signal, so nothing is asked back). Sent by hand: the
    // adaptor's signals leave later, when the object is no longer there to send them from.
    if (m_registered) {
        QDBusMessage passive = QDBusMessage::createSignal(
            QLatin1String(itemPath), QLatin1String(itemInterface), QStringLiteral("NewStatus"));
        m_bus.send(passive << QStringLiteral("Passive"));
    }
    m_bus.unregisterObject(QLatin1String(StatusNotifierMenu::path));
    m_bus.unregisterObject(QLatin1String(itemPath));
}

bool StatusNotifierItem::start()
{
    const bool itemExported =
        m_bus.registerObject(QLatin1String(itemPath), this, QDBusConnection::ExportAdaptors);
    const bool menuExported = m_bus.registerObject(QLatin1String(StatusNotifierMenu::path), m_menu,
                                                   QDBusConnection::ExportScriptableContents);
    m_exported = itemExported || menuExported;
    if (!itemExported || !menuExported) {
        qCWarning(lcStatusItem) << "cannot export the status item:" << m_bus.lastError().message();
        return false;
    }
    followWatcher();
    registerWithWatcher();
    return true;
}

void StatusNotifierItem::followWatcher()
{
    m_watcher = new QDBusServiceWatcher(
        watcherInterface(), m_bus,
        QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForUnregistration, this);
    connect(m_watcher, &QDBusServiceWatcher::serviceRegistered, this,
            &StatusNotifierItem::registerWithWatcher);
    connect(m_watcher, &QDBusServiceWatcher::serviceUnregistered, this, &StatusNotifierItem::onWatcherGone);
    for (const char* hostSignal : {"StatusNotifierHostRegistered", "StatusNotifierHostUnregistered"})
        m_bus.connect(watcherInterface(), QLatin1String(watcherPath), watcherInterface(),
                      QLatin1String(hostSignal), this, SLOT(queryHost()));
}

void StatusNotifierItem::registerWithWatcher()
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(watcherInterface(), QLatin1String(watcherPath), watcherInterface(),
                                       QStringLiteral("RegisterStatusNotifierItem"));
    // The unique name: the watcher then finds the item at the conventional path.
    call << m_bus.baseService();
    auto* pending = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, &StatusNotifierItem::onRegisterReply);
}

void StatusNotifierItem::onRegisterReply(QDBusPendingCallWatcher* call)
{
    call->deleteLater();
    const QDBusPendingReply<> reply = *call;
    if (reply.isError()) {
        // No watcher yet is normal at login; the service watcher brings us back.
        qCInfo(lcStatusItem) << "status item not registered:" << reply.error().message();
        setRegistered(false);
        return;
    }
    setRegistered(true);
    // A host that kept our earlier, withdrawn item under this connection's name takes the
    // registration as known and would leave it hidden.
    Q_EMIT m_adaptor->NewStatus(m_adaptor->status());
    queryHost();
}

void StatusNotifierItem::onWatcherGone()
{
    setRegistered(false);
    setHost(false, m_hostShowsLabel);
}

void StatusNotifierItem::queryHost()
{
    QDBusMessage call = QDBusMessage::createMethodCall(watcherInterface(), QLatin1String(watcherPath),
                                                       propertiesInterface(), QStringLiteral("Get"));
    call << watcherInterface() << QStringLiteral("IsStatusNotifierHostRegistered");
    auto* pending = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, &StatusNotifierItem::onHostReply);
}

void StatusNotifierItem::onHostReply(QDBusPendingCallWatcher* call)
{
    call->deleteLater();
    const QDBusPendingReply<QDBusVariant> reply = *call;
    // A reply that arrives after the watcher went away speaks of a watcher that is gone.
    if (m_registered && !reply.isError() && reply.value().variant().toBool())
        lookUpHostProcess();
    else
        setHost(false, m_hostShowsLabel);
}

// Whether the host draws labels is known before the item counts as shown, so the first
// drawing on a new host already puts the time in the right place.
void StatusNotifierItem::lookUpHostProcess()
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetConnectionUnixProcessID"));
    call << watcherInterface();
    auto* pending = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, &StatusNotifierItem::onHostProcessReply);
}

// Without an answer (a bus that hides process ids) the desktop's name decides.
void StatusNotifierItem::onHostProcessReply(QDBusPendingCallWatcher* call)
{
    call->deleteLater();
    const QDBusPendingReply<quint32> reply = *call;
    m_hostProcess = reply.isError() ? QString() : StatusNotifierHost::processName(reply.value());
    const bool drawsLabel = StatusNotifierHost::drawsLabel(m_hostProcess, m_session);
    qCInfo(lcStatusItem) << "status items hosted by"
                         << (m_hostProcess.isEmpty() ? "an unknown process" : qPrintable(m_hostProcess))
                         << (drawsLabel ? "with labels" : "without labels");
    setHost(m_registered, drawsLabel);
}

void StatusNotifierItem::setRegistered(bool registered)
{
    if (registered == m_registered)
        return;
    m_registered = registered;
    Q_EMIT registeredChanged(registered);
}

// A host that replaces another of a different kind is a change worth a redraw too.
void StatusNotifierItem::setHost(bool available, bool showsLabel)
{
    if (available == m_hostAvailable && showsLabel == m_hostShowsLabel)
        return;
    m_hostAvailable = available;
    m_hostShowsLabel = showsLabel;
    Q_EMIT shownChanged(available);
}

void StatusNotifierItem::setLabel(const QString& text, const QString& guide)
{
    if (text == m_label && guide == m_labelGuide)
        return;
    m_label = text;
    m_labelGuide = guide;
    m_labelPending = true;
    if (!m_waitsForIdleLoop)
        sendPendingLabel();
}

// The label leaves as the event loop is about to sleep, the last thing this thread does in its
// second. Waking the bus daemon is what hands it the CPU: sent mid-work, the daemon takes the
// CPU from us and we wake twice (on a machine whose cores share no cache it is woken on ours).
void StatusNotifierItem::sendLabelBeforeSleeping()
{
    auto* dispatcher = QAbstractEventDispatcher::instance(thread());
    if (!dispatcher)
        return;
    m_waitsForIdleLoop = true;
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &StatusNotifierItem::sendPendingLabel);
    // A loop that only polls, never sleeping, still sends.
    connect(dispatcher, &QAbstractEventDispatcher::awake, this, &StatusNotifierItem::sendPendingLabel);
}

void StatusNotifierItem::sendPendingLabel()
{
    if (!m_labelPending)
        return;
    m_labelPending = false;
    // Every host that draws labels takes them from this signal's arguments (GNOME's extension
    // and the Ayatana applets); a PropertiesChanged besides would double each second's traffic.
    // Sent from this thread, so the second's label does not wake Qt D-Bus's thread as well.
    if (!m_exported || !m_labelSender.send(QLatin1String(itemPath), QLatin1String(itemInterface),
                                           QStringLiteral("XAyatanaNewLabel"), {m_label, m_labelGuide}))
        Q_EMIT m_adaptor->XAyatanaNewLabel(m_label, m_labelGuide);
}

void StatusNotifierItem::setIcon(const QImage& icon)
{
    StatusNotifierPixmap pixmap = StatusNotifierPixmap::fromImage(icon);
    if (m_iconPixmaps.size() == 1 && m_iconPixmaps.first() == pixmap)
        return;
    m_iconPixmaps = {std::move(pixmap)};
    Q_EMIT m_adaptor->NewIcon();
    announce({{QStringLiteral("IconPixmap"), QVariant::fromValue(m_iconPixmaps)}});
}

void StatusNotifierItem::setToolTip(const QString& text)
{
    if (text == m_toolTipText)
        return;
    m_toolTipText = text;
    Q_EMIT m_adaptor->NewToolTip();
    // The accessible description is the same text; it rides along rather than costing a message.
    announce({{QStringLiteral("ToolTip"), QVariant::fromValue(toolTip())},
              {QStringLiteral("IconAccessibleDesc"), toolTip().title}});
}

void StatusNotifierItem::setMenuPaused(bool paused)
{
    m_menu->setPaused(paused);
}

void StatusNotifierItem::setMenuFigures(const QStringList& rows)
{
    m_menu->setFigures(rows);
}

StatusNotifierToolTip StatusNotifierItem::toolTip() const
{
    // Hosts without the label show the title line, so the text goes there.
    return StatusNotifierToolTip{QString(), {}, m_toolTipText.isEmpty() ? m_title : m_toolTipText, QString()};
}

void StatusNotifierItem::announce(const QVariantMap& changed)
{
    if (!m_exported)
        return;
    QDBusMessage signal = QDBusMessage::createSignal(QLatin1String(itemPath), propertiesInterface(),
                                                     QStringLiteral("PropertiesChanged"));
    signal << QLatin1String(itemInterface) << changed << QStringList();
    m_bus.send(signal);
}
