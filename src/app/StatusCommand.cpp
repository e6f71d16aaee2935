#include "StatusCommand.h"

#include "CommandLine.h"
#include "CommandOutput.h"
#include "InstanceLink.h"
#include "PipeReaderWatcher.h"
#include "StatusFollower.h"
#include "StoreAccess.h"
#include "StoreLock.h"

#include <QCommandLineParser>
#include <QCoreApplication>

StatusCommand::StatusCommand(FILE* out, FILE* err)
    : Subcommand(QStringLiteral("status"),
                 QStringLiteral("lumatick status [--format plain|json|waybar] [--follow]"), out, err)
{}

int StatusCommand::run(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption formatOption(QStringLiteral("format"), QStringLiteral("plain, json or waybar."),
                                          QStringLiteral("FORMAT"), QStringLiteral("plain"));
    const QCommandLineOption followOption(QStringLiteral("follow"),
                                          QStringLiteral("A line now and on each change."));
    parser.addOptions({formatOption, followOption});
    const bool parsed = parser.parse(arguments);
    const std::optional<StatusReport::Format> format = StatusReport::formatNamed(parser.value(formatOption));
    if (!parsed || !parser.positionalArguments().isEmpty() || !format)
        return usageError(parser, QStringLiteral("unknown format or argument"));

    StoreAccess access;
    StatusReport report(access);
    const QString problem = report.readStore();
    if (!problem.isEmpty())
        return failure(problem);
    if (parser.isSet(followOption))
        return follow(report, *format);
    // The running instance knows today's total to the second and whether it is paused; the
    // store has only its last save. An answer lacking a figure leaves the stored ones alone.
    // A running counter holds the store's lock: without its file the bus is not asked and its
    // libraries are not loaded, which would cost a bar polling every second more than the
    // whole reading. Without the application object nobody held it a moment ago (see
    // CommandLine::runsWithoutApplication), and the bus would need its event loop.
    if (QCoreApplication::instance() && StoreLock(access.directory()).mayBeHeld()) {
        const std::unique_ptr<InstanceLink> link = InstanceLink::sessionBus();
        if (link->isInstanceRunning()) {
            if (const std::optional<QVariantMap> live = link->properties())
                report.takeLive(*live);
        }
    }
    writeText(m_out, report.text(*format));
    return CommandLine::exitOk;
}

// Runs until the reader of the output goes away. SIGTERM and SIGINT keep their default action,
// which ends the process at once: a follower has nothing to save.
int StatusCommand::follow(StatusReport& report, StatusReport::Format format)
{
    const std::unique_ptr<InstanceLink> link = InstanceLink::sessionBus();
    StatusFollower follower(*link, report, format, m_out, m_err);
    const PipeReaderWatcher output(m_out);
    QObject::connect(&follower, &StatusFollower::outputClosed, QCoreApplication::instance(),
                     &QCoreApplication::quit, Qt::QueuedConnection);
    QObject::connect(&output, &PipeReaderWatcher::readerGone, QCoreApplication::instance(),
                     &QCoreApplication::quit);
    if (!follower.start())
        return failure(QStringLiteral("no session bus to follow Lumatick on"));
    return QCoreApplication::exec();
}
