#pragma once

#include <QDBusConnection>
#include <QString>

// Finds the object path of our logind session on the system bus. Signals are sent only from
// that real, escaped path (such as /org/freedesktop/login1/session/_32), never from the
// "auto" alias, so whoever listens must know it.
class LogindSession {
public:
    static QString service() { return QStringLiteral("org.freedesktop.login1"); }
    static QString managerPath() { return QStringLiteral("/org/freedesktop/login1"); }
    static QString managerInterface() { return QStringLiteral("org.freedesktop.login1.Manager"); }
    static QString sessionInterface() { return QStringLiteral("org.freedesktop.login1.Session"); }

    // Blocking; meant for start-up. Empty when logind does not know our session.
    static QString findPath(const QDBusConnection& systemBus);

private:
    static QString idOfAutoSession(const QDBusConnection& systemBus);
    static QString pathOfSessionId(const QDBusConnection& systemBus, const QString& id);
};
