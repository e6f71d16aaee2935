#pragma once

#include "Clock.h"
#include "IdleTimeSource.h"

#include <QDBusConnection>
#include <QString>

#include <memory>

// Picks the first idle-time service that answers, in order of trust: Mutter's IdleMonitor,
// then the Wayland and X11 sources built elsewhere (given here ready-made, or null), then
// the ScreenSaver interface, then logind's idle hint, and answers with it. The choice is made
// at construction; a Wayland source that starts answering later (its compositor answered
// late, or offered the protocol later) then replaces any choice below it. The choice is logged
// once it is known; without any, time counts whenever the screen is awake and unlocked, and
// the application tells the user so.
class IdleTimeSourceSelector : public IdleTimeSource {
public:
    struct Buses {
        QDBusConnection session;
        QDBusConnection system;
    };
    struct Prebuilt {
        IdleTimeSource* wayland = nullptr;
        IdleTimeSource* x11 = nullptr;
    };

    // Blocking D-Bus probes; meant for start-up. Prebuilt sources are not owned and must
    // outlive this. While a Wayland source has not answered yet, the log waits for waylandChanged.
    IdleTimeSourceSelector(const Buses& buses, Prebuilt prebuilt, Clock clock);
    ~IdleTimeSourceSelector() override;
    IdleTimeSourceSelector(const IdleTimeSourceSelector&) = delete;
    IdleTimeSourceSelector& operator=(const IdleTimeSourceSelector&) = delete;

    // The chosen source's answer; nothing while none is chosen.
    std::optional<double> secondsSinceLastInput() override;
    // The chosen source's name, for the log and the settings window; empty while none is chosen.
    QString name() const override;
    // False when nothing is chosen and nothing can be chosen later.
    bool mayAnswer() const { return m_chosen || m_wayland; }

    // For the Wayland source to call once its compositor has listed its globals, and whenever
    // it starts or stops answering after that.
    void waylandChanged();

private:
    IdleTimeSource* choose(const Buses& buses, Prebuilt prebuilt, const Clock& clock);
    IdleTimeSource* keep(std::unique_ptr<IdleTimeSource> source);
    static bool answers(IdleTimeSource* source);
    void logChoice();

    IdleTimeSource* m_wayland = nullptr;
    std::unique_ptr<IdleTimeSource> m_owned;
    IdleTimeSource* m_chosen = nullptr;
    // Mutter's monitor is trusted more than any Wayland protocol, so nothing replaces it.
    bool m_chosenOutranksWayland = false;
    bool m_choiceLogged = false;
};
