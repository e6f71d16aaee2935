#pragma once

#include <QDBusConnection>

// Keeps one running instance per session. The bus name is the lock: ControlService claims it
// without queueing, so two processes can never both hold it.
class SingleInstance {
public:
    // When another process owns the bus name, asks it to show its panel and returns true:
    // the caller should then exit with status 0. False when nobody owns it.
    static bool handOverToRunningInstance(QDBusConnection connection);
};
