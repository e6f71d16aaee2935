#include "StatusReport.h"

#include "ActivityTracker.h"
#include "FormatDuration.h"
#include "MenuBarViewModel.h"
#include "ScreenTimeManager.h"
#include "SharedTotalsFolder.h"
#include "StoreAccess.h"
#include "ThresholdTier.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace {
const QStringList liveProperties{QStringLiteral("TodaySeconds"), QStringLiteral("TodayText"),
                                 QStringLiteral("Tier"), QStringLiteral("Paused")};

QString compact(const QJsonObject& object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) + u'\n';
}
} // namespace

std::optional<StatusReport::Format> StatusReport::formatNamed(const QString& name)
{
    if (name == u"plain")
        return Format::plain;
    if (name == u"json")
        return Format::json;
    if (name == u"waybar")
        return Format::waybar;
    return std::nullopt;
}

StatusReport::StatusReport(StoreAccess& access)
    : m_access(access)
{}

// The figures come from the same model the panel shows, fed from the stored records. The store
// is opened afresh each time: one that did not exist at the last reading may exist now.
QString StatusReport::readStore()
{
    StoreOpener::Result opened = m_access.openForReading();
    if (!opened.errorDescription.isEmpty())
        return opened.errorDescription;
    const Clock clock = [] { return QDateTime::currentDateTimeUtc(); };
    ActivityTracker tracker(clock);
    ScreenTimeManager manager(tracker, m_access.preferences(), clock);
    manager.setModelContext(opened.store.get());
    manager.loadTodayTotal();
    MenuBarViewModel model(manager, tracker, m_access.preferences(), clock);
    model.setModelContext(opened.store.get());
    model.refresh();
    model.refreshStatistics();

    m_todaySeconds = model.accumulatedSeconds();
    m_todayText = model.formattedTime();
    m_tier = tierName(model.thresholdTier());
    m_paused = false;
    m_yesterdaySeconds = model.yesterdaySeconds();
    m_sevenDayAverageSeconds = model.sevenDayAvgSeconds();
    m_currentStreak = model.currentStreak();
    m_live = false;
    readSharedFolder();
    return {};
}

// The other computers' files as they are now, read without writing this computer's own.
void StatusReport::readSharedFolder()
{
    const Preferences& preferences = m_access.preferences();
    m_allComputersSeconds.reset();
    const QString folder = preferences.value(PreferenceKeys::sharedTotalsFolder);
    if (folder.isEmpty())
        return;
    const Clock clock = [] { return QDateTime::currentDateTimeUtc(); };
    SharedTotalsFolder shared(clock, [] { return QList<DailyScreenTime>(); });
    shared.start(folder, preferences.value(PreferenceKeys::installationId), {});
    m_allComputersSeconds = shared.allComputersSeconds(QDate::currentDate(), m_todaySeconds);
}

bool StatusReport::takeLive(const QVariantMap& properties)
{
    if (!std::all_of(liveProperties.cbegin(), liveProperties.cend(),
                     [&](const QString& name) { return properties.contains(name); }))
        return false;
    m_todaySeconds = properties.value(liveProperties[0]).toLongLong();
    m_todayText = properties.value(liveProperties[1]).toString();
    m_tier = properties.value(liveProperties[2]).toString();
    m_paused = properties.value(liveProperties[3]).toBool();
    const qint64 allComputers = properties.value(QStringLiteral("AllComputersTodaySeconds"), -1).toLongLong();
    m_allComputersSeconds = allComputers >= 0 ? std::optional(allComputers) : std::nullopt;
    m_live = true;
    return true;
}

QString StatusReport::text(Format format, bool oneLine) const
{
    switch (format) {
    case Format::json:
        return json();
    case Format::waybar:
        return waybar();
    case Format::plain:
        break;
    }
    if (oneLine)
        return m_todayText + (m_paused ? QStringLiteral(" (paused)\n") : QStringLiteral("\n"));
    return plainText();
}

// While the totals are shared, today over every computer follows this computer's today.
QString StatusReport::plainText() const
{
    const bool showSeconds = m_access.preferences().value(PreferenceKeys::showSeconds);
    const QString allComputers =
        m_allComputersSeconds
            ? QStringLiteral("All computers: %1\n").arg(formatDuration(*m_allComputersSeconds, showSeconds))
            : QString();
    return QStringLiteral("Today: %1 (%2%3)\n%4Yesterday: %5\nSeven-day average: %6\nGoal streak: %7 days\n")
        .arg(m_todayText, m_tier, m_paused ? QStringLiteral(", paused") : QString(), allComputers,
             formatDuration(m_yesterdaySeconds, showSeconds),
             formatDuration(m_sevenDayAverageSeconds, showSeconds))
        .arg(m_currentStreak);
}

QString StatusReport::json() const
{
    QJsonObject object{
        {QStringLiteral("today_seconds"), m_todaySeconds},
        {QStringLiteral("today_text"), m_todayText},
        {QStringLiteral("tier"), m_tier},
        {QStringLiteral("paused"), m_paused},
        {QStringLiteral("yesterday_seconds"), m_yesterdaySeconds},
        {QStringLiteral("seven_day_average_seconds"), m_sevenDayAverageSeconds},
        {QStringLiteral("current_streak"), m_currentStreak},
        {QStringLiteral("source"), m_live ? QStringLiteral("live") : QStringLiteral("store")},
    };
    if (m_allComputersSeconds)
        object.insert(QStringLiteral("all_computers_today_seconds"), *m_allComputersSeconds);
    return compact(object);
}

// `alt` lets a bar pick an icon for the pause state through its format-icons.
QString StatusReport::waybar() const
{
    return compact({
        {QStringLiteral("text"), m_todayText},
        {QStringLiteral("alt"), m_paused ? QStringLiteral("paused") : QStringLiteral("counting")},
        {QStringLiteral("tooltip"), plainText().trimmed()},
        {QStringLiteral("class"), m_tier},
        {QStringLiteral("percentage"), percentOfRedThreshold()},
    });
}

int StatusReport::percentOfRedThreshold() const
{
    const qint64 redSeconds =
        effectiveThresholdHours(m_access.preferences(), PreferenceKeys::yellowThresholdHours) * 3600;
    return static_cast<int>(std::min<qint64>(100, m_todaySeconds * 100 / redSeconds));
}
