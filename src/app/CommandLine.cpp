#include "CommandLine.h"

#include "CommandOutput.h"
#include "CtlCommand.h"
#include "ExportCommand.h"
#include "ImportCommand.h"
#include "PanelLauncher.h"
#include "ShareCommand.h"
#include "StatusCommand.h"
#include "StoreLock.h"
#include "StoreOpener.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <algorithm>

namespace {
const QString headlessFlag = QStringLiteral("--headless");
const QString commandsHelp =
    QStringLiteral("Commands:\n"
                   "  status [--format plain|json|waybar] [--follow]\n"
                   "                                       Today's total and statistics; with --follow\n"
                   "                                       a line now and on each change, for bars.\n"
                   "  export [-o FILE] [--all-computers]   All days as CSV; with --all-computers every\n"
                   "                                       sharing computer's, with a computer column.\n"
                   "  import FILE                          Restore days from an export.\n"
                   "  ctl pause|resume|toggle-pause        Control tracking in the running instance.\n"
                   "  ctl pause --for 15m|--until-tomorrow A pause that resumes by itself.\n"
                   "  share --folder PATH [--name NAME] | --off\n"
                   "                                       Share totals with other computers through\n"
                   "                                       a synced folder, or stop.\n");
// WORKAROUND: with TZ unset, every local-time conversion makes the C library check
// /etc/localtime on disk again, and reading fifty years of records converts 18,000 dates. A
// command lives for milliseconds, so naming the zone file pins it for this process only; the
// long-running application keeps noticing zone changes.
void pinTimeZoneForThisRun()
{
    const QString zoneFile = QStringLiteral("/etc/localtime");
    if (!qEnvironmentVariableIsSet("TZ") && QFile::exists(zoneFile))
        qputenv("TZ", ":" + zoneFile.toLocal8Bit());
}

// WORKAROUND: Qt's display platforms abort the process, core dump and all, when they find no
// display, so the panel checks for one before the application object exists. A platform
// named in QT_QPA_PLATFORM that needs no display (offscreen, as in the tests) is taken at its
// word.
bool hasDesktopSession()
{
    if (!qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return true;
    const QStringList platforms = qEnvironmentVariable("QT_QPA_PLATFORM").split(u';', Qt::SkipEmptyParts);
    return std::any_of(platforms.cbegin(), platforms.cend(), [](const QString& platform) {
        return !platform.startsWith(u"xcb") && !platform.startsWith(u"wayland");
    });
}
} // namespace

CommandLine::Launch CommandLine::launchFor(const QStringList& arguments)
{
    const QStringList options = arguments.mid(1);
    if (options.isEmpty())
        return hasDesktopSession() ? Launch::panel : Launch::noDesktop;
    const bool onlyHeadless = std::all_of(options.cbegin(), options.cend(),
                                          [](const QString& option) { return option == headlessFlag; });
    return onlyHeadless ? Launch::headless : Launch::command;
}

CommandLine::Launch CommandLine::launchFor(int argc, char* argv[])
{
    return launchFor(argumentsOf(argc, argv));
}

QStringList CommandLine::argumentsOf(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

bool CommandLine::runsWithoutApplication(const QStringList& arguments)
{
    return arguments.value(1) == u"status" && !arguments.contains(QStringLiteral("--follow")) &&
           !StoreLock(StoreOpener::defaultDirectory()).mayBeHeld();
}

void CommandLine::nameApplication()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Brightlet"));
    QCoreApplication::setApplicationName(QStringLiteral("Lumatick"));
    QCoreApplication::setApplicationVersion(QStringLiteral(LUMATICK_VERSION));
}

CommandLine::CommandLine(FILE* out, FILE* err)
    : m_out(out)
    , m_err(err)
{}

int CommandLine::run(const QStringList& arguments)
{
    const QString command = arguments.value(1);
    // Everything after the command name belongs to the command's own parser.
    const QStringList commandArguments = QStringList{arguments.value(0) + u' ' + command} + arguments.mid(2);
    if (command == u"export" || command == u"status" || command == u"import")
        pinTimeZoneForThisRun();
    if (command == u"export")
        return ExportCommand(m_out, m_err).run(commandArguments);
    if (command == u"status")
        return StatusCommand(m_out, m_err).run(commandArguments);
    if (command == u"import")
        return ImportCommand(m_out, m_err).run(commandArguments);
    if (command == u"ctl")
        return CtlCommand(m_out, m_err).run(commandArguments);
    if (command == u"share")
        return ShareCommand(m_out, m_err).run(commandArguments);
    return runDefault(arguments);
}

int CommandLine::refuseWithoutDesktop()
{
    writeLine(m_err, QStringLiteral("lumatick: no desktop session found (DISPLAY and WAYLAND_DISPLAY are "
                                    "unset); \"lumatick --headless\" counts without a panel."));
    return exitUsage;
}

int CommandLine::runDefault(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Lumatick counts how long you actively use the computer each day.\n\n") +
        commandsHelp);
    const QCommandLineOption versionOption(QStringList{QStringLiteral("v"), QStringLiteral("version")},
                                           QStringLiteral("Print the version and exit."));
    const QCommandLineOption helpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Print this help and exit."));
    const QCommandLineOption headlessOption(headlessFlag.mid(2),
                                            QStringLiteral("Count without the status item and the panel."));
    parser.addOption(versionOption);
    parser.addOption(helpOption);
    parser.addOption(headlessOption);
    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return usageError(QStringLiteral("unknown command \"%1\"").arg(parser.positionalArguments().first()));
    if (parser.isSet(versionOption)) {
        writeLine(m_out, QStringLiteral("lumatick ") + QCoreApplication::applicationVersion());
        return exitOk;
    }
    if (parser.isSet(helpOption)) {
        writeText(m_out, parser.helpText());
        return exitOk;
    }

    return runApplication(parser.isSet(headlessOption));
}

// The counter runs in the panel's executable; this process becomes it.
int CommandLine::runApplication(bool headless)
{
    const QString failure = PanelLauncher::becomePanel(headless ? QStringList{headlessFlag} : QStringList());
    writeLine(m_err, QStringLiteral("lumatick: cannot start the counter: ") + failure);
    return exitFailure;
}

int CommandLine::usageError(const QString& message)
{
    writeLine(m_err, QStringLiteral("lumatick: %1\n\n").arg(message) + commandsHelp +
                         QStringLiteral("Run lumatick --help for more."));
    return exitUsage;
}
