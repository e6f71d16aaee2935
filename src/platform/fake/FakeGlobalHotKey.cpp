#include "FakeGlobalHotKey.h"

bool FakeGlobalHotKey::registerHotKey(int keyCode, int modifiers)
{
    ++m_registrations;
    if (m_refusing)
        return false;
    m_registered = std::make_pair(keyCode, modifiers);
    return true;
}

void FakeGlobalHotKey::press(int keyCode, int modifiers)
{
    if (m_registered == std::make_pair(keyCode, modifiers))
        Q_EMIT pressed();
}
