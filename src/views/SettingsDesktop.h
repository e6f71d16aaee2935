#pragma once

#include <QString>

#include <functional>

// What the settings show of the desktop, handed in by the shell, since views do not ask the
// platform: the desktop's names, by which its own notification settings are found, and
// whether the pause shortcut works outside Lumatick's windows; and what is wrong with the folder
// the totals are shared through, asked whenever the settings change.
struct SettingsDesktop {
    QString desktopNames;
    bool shortcutWorksSystemWide = true;
    std::function<QString()> sharingProblem;
};
