#pragma once

#include <QString>

#include <optional>

// How long ago the user last gave input anywhere on the desktop (not only to our windows).
// Implemented per desktop service; asked once per tick rather than fed every input event.
class IdleTimeSource {
public:
    virtual ~IdleTimeSource() = default;

    // Seconds since the last input, or nothing when the service did not answer this time.
    virtual std::optional<double> secondsSinceLastInput() = 0;
    // A short name for logs and the settings window ("xcb-screensaver", "Mutter IdleMonitor").
    virtual QString name() const = 0;
};
