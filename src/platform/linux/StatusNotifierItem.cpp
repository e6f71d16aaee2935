#include "StatusNotifierItem.h"

#include "StatusItemLogging.h"
#include "StatusNotifierItemAdaptor.h"
#include "StatusNotifierMenu.h"

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
                                       QObject* parent)
    : StatusItemBackend(parent)
    , m_bus(std::move(bus))
    , m_id(id)
    , m_title(title)
    , m_adaptor(new StatusNotifierItemAdaptor(*this))
    , m_menu(new StatusNotifierMenu(this))
{
    StatusNotifierToolTip::registerMetaType();
    connect(m_menu, &StatusNotifierMenu::pauseToggleRequested, this,
            &StatusItemBackend::pauseToggleRequested);
    connect(m_menu, &StatusNotifierMenu::historyRequested, this, &StatusItemBackend::historyRequested);
    connect(m_menu, &StatusNotifierMenu::settingsRequested, this, &StatusItemBackend::settingsRequested);
    connect(m_menu, &StatusNotifierMenu::quitRequested, this, &StatusItemBackend::quitRequested);
}

StatusNotifierItem::~StatusNotifierItem()
{
    if (!m_exported)
        return;
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
    queryHost();
}

void StatusNotifierItem::onWatcherGone()
{
    setRegistered(false);
    setHostAvailable(false);
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
    setHostAvailable(m_registered && !reply.isError() && reply.value().variant().toBool());
}

void StatusNotifierItem::setRegistered(bool registered)
{
    if (registered == m_registered)
        return;
    m_registered = registered;
    Q_EMIT registeredChanged(registered);
}

void StatusNotifierItem::setHostAvailable(bool available)
{
    if (available == m_hostAvailable)
        return;
    m_hostAvailable = available;
    Q_EMIT shownChanged(available);
}

void StatusNotifierItem::setLabel(const QString& text, const QString& guide)
{
    if (text == m_label && guide == m_labelGuide)
        return;
    m_label = text;
    m_labelGuide = guide;
    // Hosts differ in which notification they follow, so both go out.
    Q_EMIT m_adaptor->XAyatanaNewLabel(text, guide);
    announce({{QStringLiteral("XAyatanaLabel"), text}, {QStringLiteral("XAyatanaLabelGuide"), guide}});
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
    announce({{QStringLiteral("ToolTip"), QVariant::fromValue(toolTip())}});
}

void StatusNotifierItem::setMenuPaused(bool paused)
{
    m_menu->setPaused(paused);
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
