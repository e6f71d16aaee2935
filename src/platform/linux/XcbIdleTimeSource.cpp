#include "XcbIdleTimeSource.h"

#include "XcbConnection.h"
#include "XcbReply.h"

#include <xcb/screensaver.h>

XcbIdleTimeSource::XcbIdleTimeSource(XcbConnection& connection)
    : m_connection(connection)
{}

bool XcbIdleTimeSource::isAvailable(const XcbConnection& connection)
{
    return connection.hasExtension(&xcb_screensaver_id);
}

std::optional<double> XcbIdleTimeSource::secondsSinceLastInput()
{
    if (!m_connection.isValid())
        return std::nullopt;
    xcb_connection_t* c = m_connection.connection();
    const xcb_screensaver_query_info_cookie_t cookie =
        xcb_screensaver_query_info(c, m_connection.rootWindow());
    const XcbReply<xcb_screensaver_query_info_reply_t> reply(
        xcb_screensaver_query_info_reply(c, cookie, nullptr));
    if (!reply)
        return std::nullopt;
    return reply->ms_since_user_input / 1000.0;
}

QString XcbIdleTimeSource::name() const
{
    return QStringLiteral("xcb-screensaver");
}
