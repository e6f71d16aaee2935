#pragma once

#include <QString>

class SharedTotalsFolder;

// What the settings show of the desktop, handed in by the shell, since views do not ask the
// platform: the desktop's names, by which its own notification settings are found, and
// whether the pause shortcut works outside Lumatick's windows; and the folder the totals are
// shared through, whose fault and computers are read whenever the settings change.
struct SettingsDesktop {
    QString desktopNames;
    bool shortcutWorksSystemWide = true;
    const SharedTotalsFolder* sharedTotals = nullptr;
};
