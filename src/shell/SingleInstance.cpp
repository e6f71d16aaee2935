#include "SingleInstance.h"

#include "ControlClient.h"

bool SingleInstance::handOverToRunningInstance(QDBusConnection connection)
{
    const ControlClient client(std::move(connection));
    if (!client.isInstanceRunning())
        return false;
    // The owner exists even when it fails to answer in time, so starting a second one would
    // only lose the race for the name; the hand-over counts as done either way.
    client.call(QStringLiteral("ShowPanel"));
    return true;
}
