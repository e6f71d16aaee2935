#pragma once

#include "IdleTimeSource.h"

#include <QDBusConnection>

// Idle time from org.freedesktop.ScreenSaver, answered by KDE on X11. KDE on Wayland refuses
// the call as not supported, so the probe fails there.
class ScreenSaverIdleTimeSource : public IdleTimeSource {
public:
    explicit ScreenSaverIdleTimeSource(QDBusConnection sessionBus);

    // Blocking; meant for start-up.
    static bool probe(const QDBusConnection& sessionBus);

    std::optional<double> secondsSinceLastInput() override;
    QString name() const override { return QStringLiteral("ScreenSaver GetSessionIdleTime"); }

private:
    static std::optional<double> ask(const QDBusConnection& sessionBus, int timeoutMs);

    QDBusConnection m_sessionBus;
};
