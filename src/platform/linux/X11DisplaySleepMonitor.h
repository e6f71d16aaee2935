#pragma once

#include <QObject>
#include <QTimer>

#include <optional>

class SessionEvents;
class XcbConnection;

// Display sleep from X11 DPMS. The extension sends no events, so the power level is polled;
// each change between on and standby/suspend/off becomes screensDidSleep or screensDidWake.
// Many X servers (Xvfb, Xwayland, dummy drivers) have no DPMS; then nothing is reported.
class X11DisplaySleepMonitor : public QObject {
    Q_OBJECT
public:
    static constexpr int pollIntervalMs = 5000;

    // The connection and the events must outlive the monitor.
    X11DisplaySleepMonitor(XcbConnection& connection, SessionEvents& events, QObject* parent = nullptr);

    // Starts polling; false (with one log line) when the display has no DPMS.
    bool start();
    bool isRunning() const { return m_timer.isActive(); }
    // Reads the power level now rather than at the next poll.
    void poll();

protected:
    virtual bool isDpmsPresent() const;
    // Whether the screens are asleep, or nothing when the server did not answer.
    virtual std::optional<bool> queryScreensAsleep() const;

private:
    XcbConnection& m_connection;
    SessionEvents& m_events;
    QTimer m_timer;
    bool m_asleep = false;
};
