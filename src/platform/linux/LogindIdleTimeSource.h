#pragma once

#include "Clock.h"
#include "IdleTimeSource.h"

#include <QDBusConnection>
#include <QString>

// Idle time from the IdleHint and IdleSinceHint properties of our logind session, the last
// resort: the desktop sets the hint only after its own idle delay, and KDE never sets it, so
// until then the user counts as having just given input.
class LogindIdleTimeSource : public IdleTimeSource {
public:
    // The clock gives the wall-clock time IdleSinceHint is measured against.
    LogindIdleTimeSource(QDBusConnection systemBus, QString sessionPath, Clock clock);

    // Blocking; meant for start-up.
    static bool probe(const QDBusConnection& systemBus, const QString& sessionPath);

    std::optional<double> secondsSinceLastInput() override;
    QString name() const override { return QStringLiteral("logind IdleHint"); }

private:
    struct Hint {
        bool idle = false;
        qulonglong sinceUsec = 0;
    };
    static std::optional<Hint> ask(const QDBusConnection& systemBus, const QString& sessionPath,
                                   int timeoutMs);

    QDBusConnection m_systemBus;
    QString m_sessionPath;
    Clock m_clock;
};
