#include "StatusCommand.h"

#include "ActivityTracker.h"
#include "CommandLine.h"
#include "CommandOutput.h"
#include "ControlClient.h"
#include "FormatDuration.h"
#include "MenuBarViewModel.h"
#include "ScreenTimeManager.h"
#include "StoreAccess.h"
#include "ThresholdTier.h"

#include <QCommandLineParser>
#include <QDBusConnection>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace {

struct Status {
    qint64 todaySeconds = 0;
    QString todayText;
    QString tier;
    bool paused = false;
    qint64 yesterdaySeconds = 0;
    qint64 sevenDayAverageSeconds = 0;
    qint64 currentStreak = 0;
    int percentOfRedThreshold = 0;
    QString source = QStringLiteral("store");
};

// The figures come from the same model the panel shows, fed from the stored records; today's
// value is the last save, at most a minute behind the running application.
Status statusFromStore(RecordStore* store, Preferences& preferences)
{
    const Clock clock = [] { return QDateTime::currentDateTimeUtc(); };
    ActivityTracker tracker(clock);
    ScreenTimeManager manager(tracker, preferences, clock);
    manager.setModelContext(store);
    manager.loadTodayTotal();
    MenuBarViewModel model(manager, tracker, preferences, clock);
    model.setModelContext(store);
    model.refresh();
    model.refreshStatistics();

    Status status;
    status.todaySeconds = model.accumulatedSeconds();
    status.todayText = model.formattedTime();
    status.tier = tierName(model.thresholdTier());
    status.yesterdaySeconds = model.yesterdaySeconds();
    status.sevenDayAverageSeconds = model.sevenDayAvgSeconds();
    status.currentStreak = model.currentStreak();
    return status;
}

// The running instance knows today's total to the second and whether it is paused; the store
// has only its last save. Anything missing from the answer leaves the stored figures alone.
void takeLiveFigures(Status& status)
{
    const ControlClient client(QDBusConnection::sessionBus());
    if (!client.isInstanceRunning())
        return;
    const std::optional<QVariantMap> live = client.properties();
    const QStringList names{QStringLiteral("TodaySeconds"), QStringLiteral("TodayText"),
                            QStringLiteral("Tier"), QStringLiteral("Paused")};
    if (!live ||
        !std::all_of(names.cbegin(), names.cend(), [&](const QString& name) { return live->contains(name); }))
        return;
    status.todaySeconds = live->value(names[0]).toLongLong();
    status.todayText = live->value(names[1]).toString();
    status.tier = live->value(names[2]).toString();
    status.paused = live->value(names[3]).toBool();
    status.source = QStringLiteral("live");
}

void computePercentOfRedThreshold(Status& status, const Preferences& preferences)
{
    const qint64 redSeconds =
        effectiveThresholdHours(preferences, PreferenceKeys::yellowThresholdHours) * 3600;
    status.percentOfRedThreshold =
        static_cast<int>(std::min<qint64>(100, status.todaySeconds * 100 / redSeconds));
}

QString plainText(const Status& status, bool showSeconds)
{
    return QStringLiteral("Today: %1 (%2)\nYesterday: %3\nSeven-day average: %4\nGoal streak: %5 days\n")
        .arg(status.todayText, status.tier, formatDuration(status.yesterdaySeconds, showSeconds),
             formatDuration(status.sevenDayAverageSeconds, showSeconds))
        .arg(status.currentStreak);
}

QByteArray json(const Status& status)
{
    const QJsonObject object{
        {QStringLiteral("today_seconds"), status.todaySeconds},
        {QStringLiteral("today_text"), status.todayText},
        {QStringLiteral("tier"), status.tier},
        {QStringLiteral("paused"), status.paused},
        {QStringLiteral("yesterday_seconds"), status.yesterdaySeconds},
        {QStringLiteral("seven_day_average_seconds"), status.sevenDayAverageSeconds},
        {QStringLiteral("current_streak"), status.currentStreak},
        {QStringLiteral("source"), status.source},
    };
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

QByteArray waybar(const Status& status, bool showSeconds)
{
    const QJsonObject object{
        {QStringLiteral("text"), status.todayText},
        {QStringLiteral("tooltip"), plainText(status, showSeconds).trimmed()},
        {QStringLiteral("class"), status.tier},
        {QStringLiteral("percentage"), status.percentOfRedThreshold},
    };
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

} // namespace

StatusCommand::StatusCommand(FILE* out, FILE* err)
    : Subcommand(QStringLiteral("status"), QStringLiteral("lumatick status [--format plain|json|waybar]"),
                 out, err)
{}

int StatusCommand::run(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption formatOption(QStringLiteral("format"), QStringLiteral("plain, json or waybar."),
                                          QStringLiteral("FORMAT"), QStringLiteral("plain"));
    parser.addOption(formatOption);
    const QStringList formats{QStringLiteral("plain"), QStringLiteral("json"), QStringLiteral("waybar")};
    if (!parser.parse(arguments) || !parser.positionalArguments().isEmpty() ||
        !formats.contains(parser.value(formatOption))) {
        return usageError(parser, QStringLiteral("unknown format or argument"));
    }

    StoreAccess access;
    StoreOpener::Result opened = access.openForReading();
    if (!opened.errorDescription.isEmpty())
        return failure(opened.errorDescription);
    Status status = statusFromStore(opened.store.get(), access.preferences());
    takeLiveFigures(status);
    computePercentOfRedThreshold(status, access.preferences());
    const bool showSeconds = access.preferences().value(PreferenceKeys::showSeconds);
    const QString format = parser.value(formatOption);
    if (format == u"json")
        writeText(m_out, QString::fromUtf8(json(status)));
    else if (format == u"waybar")
        writeText(m_out, QString::fromUtf8(waybar(status, showSeconds)));
    else
        writeText(m_out, plainText(status, showSeconds));
    return CommandLine::exitOk;
}
