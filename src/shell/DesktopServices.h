#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class GlobalHotKey;
class IdleTimeSource;
class LoginItem;
class NotificationCenter;
class SessionEvents;
class StatusItemBackend;

// Everything the application asks of the desktop it runs on. The Linux implementation probes
// the session's services; tests and other platforms supply their own.
class DesktopServices {
public:
    virtual ~DesktopServices() = default;

    // Sleep, wake, lock, unlock and display sleep, whichever services report them.
    virtual SessionEvents& sessionEvents() = 0;
    // Null when no idle-time service answered and none can later: time then counts while awake
    // and unlocked. A source given may start answering after start-up (a late Wayland compositor).
    virtual IdleTimeSource* idleTimeSource() const = 0;
    virtual NotificationCenter& notificationCenter() = 0;
    virtual LoginItem& loginItem() = 0;
    // Null when the session offers no way to grab a system-wide key.
    virtual GlobalHotKey* globalHotKey() const = 0;
    // The panel's status item; the caller starts it and watches whether a host shows it.
    virtual std::unique_ptr<StatusItemBackend> createStatusItem(const QString& id, const QString& title) = 0;

    // The desktops the session names, most specific first ("ubuntu:GNOME"); their own settings
    // programs are found by these names.
    virtual QString desktopNames() const = 0;
    // The installer image the running copy was started from (an AppImage file), or empty.
    virtual QString runningImagePath() const = 0;
    // The program that lists and detaches attached disk images; empty where there is none.
    virtual QString diskImageUtilityPath() const = 0;

    // Hands the memory freed since back to the system (the allocator keeps it for reuse
    // otherwise), after a window and its buffers were released.
    virtual void returnFreedMemory() = 0;

    // One line per service, for the log and the settings window.
    virtual QStringList summary() const = 0;
};
