#include "X11DisplaySleepMonitor.h"

#include "SessionEvents.h"
#include "X11Logging.h"
#include "XcbConnection.h"
#include "XcbReply.h"

#include <xcb/dpms.h>

X11DisplaySleepMonitor::X11DisplaySleepMonitor(XcbConnection& connection, SessionEvents& events,
                                               QObject* parent)
    : QObject(parent)
    , m_connection(connection)
    , m_events(events)
{
    // A few seconds late is fine for display sleep, so let the timer wake the machine less.
    m_timer.setTimerType(Qt::CoarseTimer);
    m_timer.setInterval(pollIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &X11DisplaySleepMonitor::poll);
}

bool X11DisplaySleepMonitor::start()
{
    if (!isDpmsPresent()) {
        qCInfo(lcX11) << "the X display has no DPMS; display sleep is not observed";
        return false;
    }
    // The screens count as awake at start, so a display already asleep is reported at once.
    m_asleep = false;
    poll();
    m_timer.start();
    return true;
}

void X11DisplaySleepMonitor::poll()
{
    const std::optional<bool> asleep = queryScreensAsleep();
    if (!asleep || *asleep == m_asleep)
        return;
    m_asleep = *asleep;
    if (m_asleep)
        Q_EMIT m_events.screensDidSleep();
    else
        Q_EMIT m_events.screensDidWake();
}

bool X11DisplaySleepMonitor::isDpmsPresent() const
{
    if (!m_connection.hasExtension(&xcb_dpms_id))
        return false;
    xcb_connection_t* c = m_connection.connection();
    const XcbReply<xcb_dpms_capable_reply_t> reply(xcb_dpms_capable_reply(c, xcb_dpms_capable(c), nullptr));
    return reply && reply->capable;
}

std::optional<bool> X11DisplaySleepMonitor::queryScreensAsleep() const
{
    if (!m_connection.isValid())
        return std::nullopt;
    xcb_connection_t* c = m_connection.connection();
    const XcbReply<xcb_dpms_info_reply_t> reply(xcb_dpms_info_reply(c, xcb_dpms_info(c), nullptr));
    if (!reply)
        return std::nullopt;
    // With DPMS disabled the server never powers the screens down, whatever level it reports.
    return reply->state && reply->power_level != XCB_DPMS_DPMS_MODE_ON;
}
