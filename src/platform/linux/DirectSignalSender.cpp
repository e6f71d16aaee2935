#include "DirectSignalSender.h"

#include <dbus/dbus.h>

#include <memory>

namespace {

struct MessageRelease {
    void operator()(DBusMessage* message) const { dbus_message_unref(message); }
};
using Message = std::unique_ptr<DBusMessage, MessageRelease>;

// QString::toUtf8 never yields malformed UTF-8, which libdbus would refuse (or abort on).
bool appendStrings(DBusMessage* message, const QStringList& arguments)
{
    DBusMessageIter iterator;
    dbus_message_iter_init_append(message, &iterator);
    for (const QString& argument : arguments) {
        const QByteArray utf8 = argument.toUtf8();
        const char* data = utf8.constData();
        if (!dbus_message_iter_append_basic(&iterator, DBUS_TYPE_STRING, &data))
            return false;
    }
    return true;
}

} // namespace

DirectSignalSender::DirectSignalSender(QDBusConnection bus)
    : m_bus(std::move(bus))
{}

bool DirectSignalSender::send(const QString& path, const QString& interface, const QString& member,
                              const QStringList& arguments)
{
    // Qt keeps its reference to the libdbus connection for as long as m_bus refers to it.
    auto* connection = static_cast<DBusConnection*>(m_bus.internalPointer());
    if (!connection || !m_bus.isConnected())
        return false;
    const Message message(dbus_message_new_signal(path.toUtf8().constData(), interface.toUtf8().constData(),
                                                  member.toUtf8().constData()));
    if (!message || !appendStrings(message.get(), arguments))
        return false;
    dbus_message_set_no_reply(message.get(), TRUE);
    // libdbus is thread-safe: Qt D-Bus's thread may be reading from the same connection. A
    // message the socket cannot take at once is queued, and libdbus asks Qt's thread, through
    // the write watch, to send the rest.
    return dbus_connection_send(connection, message.get(), nullptr) != 0;
}
