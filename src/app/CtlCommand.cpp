#include "CtlCommand.h"

#include "CommandLine.h"
#include "InstanceLink.h"
#include "PauseTimer.h"

#include <QCommandLineParser>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

CtlCommand::CtlCommand(FILE* out, FILE* err)
    : Subcommand(
          QStringLiteral("ctl"),
          QStringLiteral("lumatick ctl pause [--for 15m|1h|90s | --until-tomorrow]|resume|toggle-pause"), out,
          err)
{}

int CtlCommand::run(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.addOptions({{u"for"_s, u"Resume by itself after this long."_s, u"duration"_s},
                       {u"until-tomorrow"_s, u"Resume by itself at midnight."_s}});
    if (!parser.parse(arguments) || parser.positionalArguments().size() != 1)
        return usageError(parser, QStringLiteral("expected one action"));
    QString reason;
    const std::optional<Request> request = requestFor(parser, &reason);
    if (!request)
        return usageError(parser, reason);

    const std::unique_ptr<InstanceLink> link = InstanceLink::sessionBus();
    if (!link->isInstanceRunning())
        return failure(QStringLiteral("Lumatick is not running"));
    const QString problem = link->call(request->method, request->arguments);
    if (!problem.isEmpty())
        return failure(QStringLiteral("the running instance did not answer: %1").arg(problem));
    return CommandLine::exitOk;
}

std::optional<CtlCommand::Request> CtlCommand::requestFor(const QCommandLineParser& parser, QString* reason)
{
    const QString action = parser.positionalArguments().constFirst();
    const QString method = methodFor(action);
    const bool pausesFor = parser.isSet(u"for"_s);
    const bool pausesUntilTomorrow = parser.isSet(u"until-tomorrow"_s);
    if (method.isEmpty()) {
        *reason = u"unknown action \"%1\""_s.arg(action);
        return std::nullopt;
    }
    if ((pausesFor || pausesUntilTomorrow) && (action != u"pause" || (pausesFor && pausesUntilTomorrow))) {
        *reason = u"--for or --until-tomorrow goes with pause, one of them"_s;
        return std::nullopt;
    }
    if (pausesUntilTomorrow)
        return Request{u"PauseUntilTomorrow"_s, {}};
    if (!pausesFor)
        return Request{method, {}};
    const qint64 seconds = durationSeconds(parser.value(u"for"_s));
    if (seconds < 1 || seconds > PauseTimer::longestPause) {
        *reason = u"--for takes a duration such as 15m, 1h or 90s, at most 7 days"_s;
        return std::nullopt;
    }
    return Request{u"PauseFor"_s, {QVariant::fromValue<qlonglong>(seconds)}};
}

qint64 CtlCommand::durationSeconds(const QString& text)
{
    // Few enough digits that no sum can overflow.
    static const QRegularExpression pattern(u"^(?:(\\d{1,6})h)?(?:(\\d{1,8})m)?(?:(\\d{1,9})s)?$"_s);
    const QRegularExpressionMatch match = pattern.match(text);
    if (text.isEmpty() || !match.hasMatch())
        return -1;
    return match.captured(1).toLongLong() * 3600 + match.captured(2).toLongLong() * 60 +
           match.captured(3).toLongLong();
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
