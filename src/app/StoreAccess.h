#pragma once

#include "Preferences.h"
#include "StoreOpener.h"

#include <memory>

// What every subcommand needs: the user's preferences with their defaults, and the store.
class StoreAccess {
public:
    StoreAccess();

    Preferences& preferences() { return m_preferences; }
    // Read-only, safe while the application writes. A store that does not exist yet reads as
    // no records; `error` is set only when an existing store cannot be read.
    StoreOpener::Result openForReading() const;
    StoreOpener::Result openForWriting(const QDateTime& now) const;
    QString directory() const { return m_directory; }

private:
    Preferences m_preferences;
    QString m_directory;
};
