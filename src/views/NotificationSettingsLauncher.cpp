#include "NotificationSettingsLauncher.h"

#include <QProcess>
#include <QStandardPaths>

#include <array>

namespace {

struct KnownDesktop {
    const char* name;
    const char* program;
    std::array<const char*, 1> arguments;
};

// Each desktop's settings program with the argument that opens its notifications page.
constexpr std::array knownDesktops{
    KnownDesktop{"GNOME", "gnome-control-center", {"notifications"}},
    KnownDesktop{"Unity", "gnome-control-center", {"notifications"}},
    KnownDesktop{"Budgie", "gnome-control-center", {"notifications"}},
    KnownDesktop{"KDE", "systemsettings", {"kcm_notifications"}},
    KnownDesktop{"XFCE", "xfce4-notifyd-config", {nullptr}},
};

} // namespace

std::optional<NotificationSettingsLauncher::Command>
NotificationSettingsLauncher::commandFor(const QString& desktops, const ProgramFinder& findProgram)
{
    for (const QString& desktop : desktops.split(u':', Qt::SkipEmptyParts)) {
        for (const KnownDesktop& known : knownDesktops) {
            if (desktop.compare(QLatin1StringView(known.name), Qt::CaseInsensitive) != 0)
                continue;
            const QString program = findProgram(QString::fromLatin1(known.program));
            if (program.isEmpty())
                continue;
            QStringList arguments;
            for (const char* argument : known.arguments) {
                if (argument)
                    arguments.append(QString::fromLatin1(argument));
            }
            return Command{program, arguments};
        }
    }
    return std::nullopt;
}

bool NotificationSettingsLauncher::open(const QString& desktops)
{
    const std::optional<Command> command =
        commandFor(desktops, [](const QString& name) { return QStandardPaths::findExecutable(name); });
    return command && QProcess::startDetached(command->program, command->arguments);
}
