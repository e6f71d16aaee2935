#pragma once

#include <QStringList>

#include <functional>
#include <optional>

// Opens the desktop's own notification settings, where this desktop is one whose settings
// program is known and installed; elsewhere nothing happens.
class NotificationSettingsLauncher {
public:
    struct Command {
        QString program;
        QStringList arguments;
    };
    // Finds an installed program by name, empty when it is missing.
    using ProgramFinder = std::function<QString(const QString& name)>;

    // `desktops` as in XDG_CURRENT_DESKTOP: colon-separated names, most specific first.
    static std::optional<Command> commandFor(const QString& desktops, const ProgramFinder& findProgram);

    // Starts the settings program of `desktops` detached from this process.
    static bool open(const QString& desktops);
};
