#pragma once

#include "IdleTimeSource.h"

#include <QDBusConnection>

// Idle time from GNOME's compositor, on X11 and Wayland alike. Polled rather than watched:
// Mutter disarms its idle watches while an idle inhibitor is active, but still answers this.
class MutterIdleTimeSource : public IdleTimeSource {
public:
    explicit MutterIdleTimeSource(QDBusConnection sessionBus);

    // Blocking; meant for start-up.
    static bool probe(const QDBusConnection& sessionBus);

    std::optional<double> secondsSinceLastInput() override;
    QString name() const override { return QStringLiteral("Mutter IdleMonitor"); }

private:
    static std::optional<double> ask(const QDBusConnection& sessionBus, int timeoutMs);

    QDBusConnection m_sessionBus;
};
