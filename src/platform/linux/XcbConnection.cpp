#include "XcbConnection.h"

#include "X11Logging.h"
#include "XcbReply.h"

#include <QAbstractEventDispatcher>
#include <QSocketNotifier>

XcbConnection::XcbConnection(const QString& displayName, QObject* parent)
    : QObject(parent)
{
    const QByteArray name = displayName.toLocal8Bit();
    int screenNumber = 0;
    m_connection = xcb_connect(name.isEmpty() ? nullptr : name.constData(), &screenNumber);
    if (xcb_connection_has_error(m_connection)) {
        qCInfo(lcX11) << "cannot connect to the X display" << (name.isEmpty() ? qgetenv("DISPLAY") : name);
        return;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    m_root = screens.rem > 0 ? screens.data->root : XCB_NONE;

    m_notifier =
        std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &XcbConnection::processPendingEvents);
    // Events that xcb read with a reply wait in its queue, not on the socket, so the notifier
    // does not see them: they are taken before the loop sleeps, without reading the socket again.
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(thread()))
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
                &XcbConnection::processQueuedEvents);
}

XcbConnection::~XcbConnection()
{
    m_notifier.reset();
    // xcb_connect always returns an object, also on failure, and it must be freed either way.
    xcb_disconnect(m_connection);
}

bool XcbConnection::isValid() const
{
    return m_connection && !xcb_connection_has_error(m_connection) && m_root != XCB_NONE;
}

bool XcbConnection::hasExtension(xcb_extension_t* extension) const
{
    if (!isValid())
        return false;
    const xcb_query_extension_reply_t* data = xcb_get_extension_data(m_connection, extension);
    return data && data->present;
}

void XcbConnection::sync()
{
    if (!isValid())
        return;
    XcbReply<xcb_get_input_focus_reply_t> reply(
        xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    processPendingEvents();
}

void XcbConnection::processPendingEvents()
{
    if (!isValid()) {
        reportBrokenConnection();
        return;
    }
    while (XcbReply<xcb_generic_event_t> event{xcb_poll_for_event(m_connection)})
        dispatch(event.get());
    if (xcb_connection_has_error(m_connection))
        reportBrokenConnection();
}

void XcbConnection::processQueuedEvents()
{
    if (!isValid())
        return;
    while (XcbReply<xcb_generic_event_t> event{xcb_poll_for_queued_event(m_connection)})
        dispatch(event.get());
}

void XcbConnection::dispatch(const xcb_generic_event_t* event)
{
    // The top bit only says the event was sent by another client.
    const auto type = static_cast<quint8>(event->response_type & 0x7f);
    if (type == XCB_KEY_PRESS) {
        const auto* press = reinterpret_cast<const xcb_key_press_event_t*>(event);
        const bool repeated = isAutoRepeat(press);
        m_releasedKey = 0;
        if (!repeated)
            Q_EMIT keyPressed(press->detail, press->state);
        return;
    }
    m_releasedKey = 0;
    if (type == XCB_KEY_RELEASE) {
        const auto* release = reinterpret_cast<const xcb_key_release_event_t*>(event);
        m_releasedKey = release->detail;
        m_releaseTime = release->time;
    } else if (type == XCB_MAPPING_NOTIFY) {
        Q_EMIT mappingChanged();
    }
}

bool XcbConnection::isAutoRepeat(const xcb_key_press_event_t* press) const
{
    return m_releasedKey != 0 && press->detail == m_releasedKey && press->time == m_releaseTime;
}

void XcbConnection::reportBrokenConnection()
{
    if (m_reportedBroken || !m_notifier)
        return;
    m_reportedBroken = true;
    m_notifier->setEnabled(false);
    qCWarning(lcX11) << "the connection to the X server broke; X11 services stop";
}
