#include "StoreAccess.h"

StoreAccess::StoreAccess()
    : m_preferences(Preferences::defaultFilePath())
    , m_directory(StoreOpener::defaultDirectory())
{
    m_preferences.registerDefaults();
}

StoreOpener::Result StoreAccess::openForReading() const
{
    return StoreOpener(m_directory, m_preferences).openReadOnly();
}

StoreOpener::Result StoreAccess::openForWriting(const QDateTime& now) const
{
    return StoreOpener(m_directory, m_preferences).open(now);
}
