#pragma once

#include "Clock.h"

#include <QDBusConnection>
#include <QString>

#include <memory>

class IdleTimeSource;

// Picks the first idle-time service that answers, in order of trust: Mutter's IdleMonitor,
// then the Wayland and X11 sources built elsewhere (given here ready-made, or null), then
// the ScreenSaver interface, then logind's idle hint. The choice is made once, at
// construction, and logged; without any, time counts whenever the screen is awake and
// unlocked, and the application tells the user so.
class IdleTimeSourceSelector {
public:
    struct Buses {
        QDBusConnection session;
        QDBusConnection system;
    };
    struct Prebuilt {
        IdleTimeSource* wayland = nullptr;
        IdleTimeSource* x11 = nullptr;
    };

    // Blocking probes; meant for start-up. Prebuilt sources are not owned and must outlive this.
    IdleTimeSourceSelector(const Buses& buses, Prebuilt prebuilt, Clock clock);
    ~IdleTimeSourceSelector();
    IdleTimeSourceSelector(const IdleTimeSourceSelector&) = delete;
    IdleTimeSourceSelector& operator=(const IdleTimeSourceSelector&) = delete;

    // Null when no service answered.
    IdleTimeSource* source() const { return m_chosen; }
    // For the settings window; empty when no service answered.
    QString chosenName() const;

private:
    IdleTimeSource* choose(const Buses& buses, Prebuilt prebuilt, const Clock& clock);
    IdleTimeSource* keep(std::unique_ptr<IdleTimeSource> source);
    static bool answers(IdleTimeSource* source);
    void logChoice() const;

    std::unique_ptr<IdleTimeSource> m_owned;
    IdleTimeSource* m_chosen = nullptr;
};
