#pragma once

#include <QObject>
#include <QString>

#include <xcb/xcb.h>

#include <memory>

class QSocketNotifier;

// Our own connection to an X server, separate from any Qt may hold, so the X11 services work
// under a QCoreApplication and do not disturb the event masks Qt selects on its connection.
// Events are read whenever the socket becomes readable and whenever the event loop is about to
// block (a synchronous reply may have pulled events into the queue without waking the socket).
class XcbConnection : public QObject {
    Q_OBJECT
public:
    // An empty name connects to $DISPLAY.
    explicit XcbConnection(const QString& displayName = {}, QObject* parent = nullptr);
    ~XcbConnection() override;
    XcbConnection(const XcbConnection&) = delete;
    XcbConnection& operator=(const XcbConnection&) = delete;

    bool isValid() const;
    xcb_connection_t* connection() const { return m_connection; }
    xcb_window_t rootWindow() const { return m_root; }
    bool hasExtension(xcb_extension_t* extension) const;

    // A round trip to the server, then delivery of every event that arrived before its reply.
    void sync();
    void processPendingEvents();

Q_SIGNALS:
    // A real key press; the presses X synthesises for auto-repeat are left out.
    void keyPressed(quint8 keyCode, quint16 state);
    // The keyboard or modifier mapping changed, so key codes and modifier bits may differ.
    void mappingChanged();

private:
    void processQueuedEvents();
    void dispatch(const xcb_generic_event_t* event);
    bool isAutoRepeat(const xcb_key_press_event_t* press) const;
    void reportBrokenConnection();

    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = XCB_NONE;
    std::unique_ptr<QSocketNotifier> m_notifier;
    bool m_reportedBroken = false;
    // X reports a held key as release/press pairs with one timestamp; the last release tells
    // the press that follows it apart from a real one.
    xcb_keycode_t m_releasedKey = 0;
    xcb_timestamp_t m_releaseTime = 0;
};
