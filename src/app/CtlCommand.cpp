#include "CtlCommand.h"

#include "CommandLine.h"
#include "ControlClient.h"

#include <QCommandLineParser>
#include <QDBusConnection>

CtlCommand::CtlCommand(FILE* out, FILE* err)
    : Subcommand(QStringLiteral("ctl"), QStringLiteral("lumatick ctl pause|resume|toggle-pause"), out, err)
{}

int CtlCommand::run(const QStringList& arguments)
{
    QCommandLineParser parser;
    if (!parser.parse(arguments) || parser.positionalArguments().size() != 1)
        return usageError(parser, QStringLiteral("expected one action"));
    const QString method = methodFor(parser.positionalArguments().constFirst());
    if (method.isEmpty())
        return usageError(
            parser, QStringLiteral("unknown action \"%1\"").arg(parser.positionalArguments().constFirst()));

    const ControlClient client(QDBusConnection::sessionBus());
    if (!client.isInstanceRunning())
        return failure(QStringLiteral("Lumatick is not running"));
    const QString problem = client.call(method);
    if (!problem.isEmpty())
        return failure(QStringLiteral("the running instance did not answer: %1").arg(problem));
    return CommandLine::exitOk;
}

QString CtlCommand::methodFor(const QString& action)
{
    if (action == u"pause")
        return QStringLiteral("Pause");
    if (action == u"resume")
        return QStringLiteral("Resume");
    if (action == u"toggle-pause")
        return QStringLiteral("TogglePause");
    return {};
}
