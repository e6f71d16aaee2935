#include "LinuxDesktopServices.h"

#include "FreedesktopNotificationCenter.h"
#include "GnomeDisplaySleepMonitor.h"
#include "IdleTimeSourceSelector.h"
#include "Logging.h"
#include "LogindLockMonitor.h"
#include "LogindSleepMonitor.h"
#include "PortalGlobalHotKey.h"
#include "StatusNotifierItem.h"
#include "TimeZoneMonitor.h"
#include "WaylandDisplaySleepMonitor.h"
#include "WaylandIdleTimeSource.h"
#include "X11DisplaySleepMonitor.h"
#include "X11GlobalHotKey.h"
#include "XcbConnection.h"
#include "XcbIdleTimeSource.h"
#include "XcbKeyNames.h"
#include "XdgAutostartLoginItem.h"

#include <malloc.h>

LinuxDesktopServices::Options LinuxDesktopServices::fromEnvironment(const QString& executablePath)
{
    return {QDBusConnection::sessionBus(), QDBusConnection::systemBus(),
            [] { return QDateTime::currentDateTimeUtc(); }, executablePath,
            DesktopSession::fromEnvironment()};
}

LinuxDesktopServices::LinuxDesktopServices(Options options, QObject* parent)
    : QObject(parent)
    , m_options(std::move(options))
    , m_notifications(std::make_unique<FreedesktopNotificationCenter>(m_options.sessionBus, m_options.clock))
    , m_loginItem(std::make_unique<XdgAutostartLoginItem>(m_options.executablePath))
{
    // Xwayland offers neither the screen-saver extension nor DPMS and grabs only its own
    // clients' keys, so the X11 services are used in X11 sessions only.
    if (m_options.session.type == DesktopSession::Type::X11)
        startX11();
    else if (m_options.session.type == DesktopSession::Type::Wayland)
        startWayland();
    m_idleSelector = std::make_unique<IdleTimeSourceSelector>(
        IdleTimeSourceSelector::Buses{m_options.sessionBus, m_options.systemBus},
        IdleTimeSourceSelector::Prebuilt{m_waylandIdle.get(), m_x11Idle.get()}, m_options.clock);
    if (m_waylandIdle)
        m_waylandIdle->setOnChanged([selector = m_idleSelector.get()] { selector->waylandChanged(); });
    startSessionMonitors();
    startDisplaySleepMonitor();
    startGlobalHotKey();
    startTimeZoneMonitor();
    for (const QString& line : summary())
        qCInfo(lcScreenTime, "%s", qPrintable(line));
}

// The selector goes before the Wayland source, which must not call it back from then on.
LinuxDesktopServices::~LinuxDesktopServices()
{
    if (m_waylandIdle)
        m_waylandIdle->setOnChanged({});
}

void LinuxDesktopServices::startX11()
{
    m_xcb = std::make_unique<XcbConnection>();
    if (!m_xcb->isValid()) {
        m_xcb.reset();
        return;
    }
    if (XcbIdleTimeSource::isAvailable(*m_xcb))
        m_x11Idle = std::make_unique<XcbIdleTimeSource>(*m_xcb);
}

void LinuxDesktopServices::startWayland()
{
    m_waylandIdle = WaylandIdleTimeSource::create(m_options.clock);
}

void LinuxDesktopServices::startSessionMonitors()
{
    auto sleep = std::make_unique<LogindSleepMonitor>(m_options.systemBus, m_sessionEvents);
    sleep->start();
    m_monitors.push_back(std::move(sleep));
    auto lock =
        std::make_unique<LogindLockMonitor>(m_options.systemBus, m_options.sessionBus, m_sessionEvents);
    lock->start();
    m_monitors.push_back(std::move(lock));
}

void LinuxDesktopServices::startDisplaySleepMonitor()
{
    if (m_xcb) {
        auto dpms = std::make_unique<X11DisplaySleepMonitor>(*m_xcb, m_sessionEvents);
        if (dpms->start()) {
            m_displaySleepSource = QStringLiteral("X11 DPMS");
            m_monitors.push_back(std::move(dpms));
            return;
        }
    }
    auto gnome = std::make_unique<GnomeDisplaySleepMonitor>(m_options.sessionBus, m_sessionEvents);
    if (gnome->start()) {
        m_displaySleepSource = QStringLiteral("Mutter PowerSaveMode");
        m_monitors.push_back(std::move(gnome));
        return;
    }
    if (m_options.session.type == DesktopSession::Type::Wayland)
        m_waylandDisplaySleep = WaylandDisplaySleepMonitor::create(m_sessionEvents);
}

// The Wayland monitor may take up its protocol at any time after start-up, so it is asked now.
QString LinuxDesktopServices::displaySleepSource() const
{
    if (!m_waylandDisplaySleep)
        return m_displaySleepSource;
    return m_waylandDisplaySleep->isObserving() ? m_waylandDisplaySleep->protocolName() : QString();
}

void LinuxDesktopServices::startGlobalHotKey()
{
    if (m_xcb) {
        m_hotKey = std::make_unique<X11GlobalHotKey>(*m_xcb);
        m_hotKeySource = QStringLiteral("X11 key grab");
        return;
    }
    auto portal = std::make_unique<PortalGlobalHotKey>(m_options.sessionBus, portalKeyNames());
    if (portal->isSupported()) {
        m_hotKey = std::move(portal);
        m_hotKeySource = QStringLiteral("global shortcuts portal");
    }
}

// The portal is offered the recorded key as its trigger, named from the keyboard map of the X
// server our windows run on (Xwayland); without one it asks the user for a key itself.
PortalGlobalHotKey::KeyNameProvider LinuxDesktopServices::portalKeyNames()
{
    if (!m_options.session.hasX11Display)
        return {};
    m_keyNamesConnection = std::make_unique<XcbConnection>();
    if (!m_keyNamesConnection->isValid())
        return {};
    m_keyNames = std::make_unique<XcbKeyNames>(*m_keyNamesConnection);
    return [names = m_keyNames.get()](int keyCode) { return names->nameOf(keyCode); };
}

// Calendar times of pending notifications are wall-clock times: a new zone moves them.
void LinuxDesktopServices::startTimeZoneMonitor()
{
    auto monitor = std::make_unique<TimeZoneMonitor>(m_options.systemBus, m_sessionEvents);
    monitor->start();
    m_monitors.push_back(std::move(monitor));
    NotificationScheduler* scheduler = &m_notifications->scheduler();
    connect(&m_sessionEvents, &SessionEvents::timeZoneChanged, scheduler, &NotificationScheduler::recompute);
}

// The selector, not the source it chose, so that a Wayland source taken up late reaches the
// tracker, which asks for the source once.
IdleTimeSource* LinuxDesktopServices::idleTimeSource() const
{
    return m_idleSelector->mayAnswer() ? m_idleSelector.get() : nullptr;
}

QString LinuxDesktopServices::idleTimeSourceName() const
{
    return m_idleSelector->name();
}

NotificationCenter& LinuxDesktopServices::notificationCenter()
{
    return *m_notifications;
}

std::unique_ptr<StatusItemBackend> LinuxDesktopServices::createStatusItem(const QString& id,
                                                                          const QString& title)
{
    return std::make_unique<StatusNotifierItem>(m_options.sessionBus, id, title, m_options.session);
}

LoginItem& LinuxDesktopServices::loginItem()
{
    return *m_loginItem;
}

// glibc returns only the top of the heap by itself; the free pages between the blocks still in
// use stay with the process until asked for.
void LinuxDesktopServices::returnFreedMemory()
{
    malloc_trim(0);
}

QStringList LinuxDesktopServices::summary() const
{
    const auto orNone = [](const QString& name, const char* fallback) {
        return name.isEmpty() ? QString::fromUtf8(fallback) : name;
    };
    const bool waylandIdlePending = m_waylandIdle && !m_waylandIdle->hasListedGlobals();
    return {
        QStringLiteral("Idle time: ") +
            orNone(idleTimeSourceName(),
                   waylandIdlePending ? "waiting for the Wayland compositor to answer"
                                      : "none answered; time counts while the screen is awake and unlocked"),
        QStringLiteral("Display sleep: ") +
            orNone(displaySleepSource(),
                   m_waylandDisplaySleep && !m_waylandDisplaySleep->isObserving()
                       ? "taken from the Wayland compositor once it offers it"
                       : "not reported by this desktop; screen lock and idle time still apply"),
        QStringLiteral("Pause shortcut: ") +
            orNone(m_hotKeySource,
                   "no global shortcut service; use `lumatick ctl toggle-pause` from a key binding"),
    };
}
