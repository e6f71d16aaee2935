#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>
#include <QVariantMap>

#include <optional>

// Talks to the running instance's control object from elsewhere: the command line, a second
// start. Every call has a short timeout, so a hung instance cannot hang a script, and each
// wait keeps the event loop turning, so the instance may even live in the calling process.
class ControlClient {
public:
    static constexpr int callTimeoutMs = 2000;
    // A starting instance owns its bus name a moment before its control object exists; a call
    // in between is sent again, this often, for at most this long.
    static constexpr int objectRetryMs = 100;
    static constexpr int objectWaitMs = 3000;

    explicit ControlClient(QDBusConnection connection);

    // Whether some process owns the bus name; false too when there is no usable bus.
    bool isInstanceRunning() const;
    // Calls a method; an empty string on success, else the reason.
    QString call(const QString& method, const QVariantList& arguments = {}) const;
    // The control object's properties by name, or nothing when they cannot be read.
    std::optional<QVariantMap> properties() const;

private:
    QDBusMessage callObject(const QDBusMessage& message) const;
    QDBusMessage callAndWait(const QDBusMessage& message) const;

    QDBusConnection m_connection;
};
