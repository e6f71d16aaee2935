#pragma once

#include <QDBusConnection>
#include <QString>
#include <QStringList>

// Sends a signal with string arguments from the calling thread, straight through the libdbus
// connection under a QDBusConnection. QDBusConnection::send hands every message to Qt D-Bus's
// own thread and wakes it for each one; libdbus instead writes the message to the socket at
// once when the socket takes it, so a signal sent every second costs no second wake-up.
class DirectSignalSender {
public:
    explicit DirectSignalSender(QDBusConnection bus);

    // False when the connection is closed or the message could not be made; nothing was sent
    // then, and the caller may send it the Qt way instead.
    bool send(const QString& path, const QString& interface, const QString& member,
              const QStringList& arguments);

private:
    QDBusConnection m_bus;
};
