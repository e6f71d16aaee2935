#include "NotificationScheduler.h"

#include "Logging.h"

#include <QTime>

#include <algorithm>
#include <array>

namespace {
constexpr qint64 msPerDay = 24LL * 60 * 60 * 1000;
// A weekly trigger recurs within 7 days; one day more on each side covers a local date that
// differs from the UTC one.
constexpr int daysToSearch = 9;

bool isInRange(const CalendarTrigger& trigger)
{
    const bool weekdayOk = !trigger.weekday || (*trigger.weekday >= 1 && *trigger.weekday <= 7);
    return weekdayOk && trigger.hour >= 0 && trigger.hour <= 23 && trigger.minute >= 0 &&
           trigger.minute <= 59;
}

// 1 = Sunday ... 7 = Saturday, the numbering triggers use.
int gregorianWeekday(QDate day)
{
    return day.dayOfWeek() % 7 + 1;
}

int localOffsetSeconds(qint64 utcMs)
{
    return QDateTime::fromMSecsSinceEpoch(utcMs, Qt::LocalTime).offsetFromUtc();
}

// The local wall time at an instant, written as if it were a UTC instant, so wall times can be
// compared with plain numbers.
qint64 wallMs(qint64 utcMs)
{
    return utcMs + localOffsetSeconds(utcMs) * 1000LL;
}

// In a spring-forward gap: the first instant whose wall time is at or past `target`, between
// an instant before the change (`before`) and one after it (`after`).
std::optional<qint64> endOfGap(qint64 target, qint64 before, qint64 after)
{
    if (wallMs(before) >= target || wallMs(after) < target)
        return std::nullopt;
    while (after - before > 1) {
        const qint64 middle = before + (after - before) / 2;
        (wallMs(middle) >= target ? after : before) = middle;
    }
    return after;
}

// When the wall clock shows `time` on `day` for the first time, worked out without
// QDateTime's own resolution of gaps and overlaps, which has changed between Qt versions.
std::optional<qint64> firstInstantAt(QDate day, QTime time)
{
    const qint64 target = QDateTime(day, time, Qt::UTC).toMSecsSinceEpoch();
    std::array<qint64, 3> candidates{};
    const std::array<qint64, 3> probes{target - msPerDay, target, target + msPerDay};
    std::transform(probes.begin(), probes.end(), candidates.begin(),
                   [target](qint64 probe) { return target - localOffsetSeconds(probe) * 1000LL; });
    std::optional<qint64> first;
    for (qint64 candidate : candidates) {
        if (wallMs(candidate) == target && (!first || candidate < *first))
            first = candidate;
    }
    if (first)
        return first;
    const auto [earliest, latest] = std::minmax_element(candidates.begin(), candidates.end());
    return endOfGap(target, *earliest, *latest);
}
} // namespace

NotificationScheduler::NotificationScheduler(Clock clock, Deliver deliver, QObject* parent)
    : QObject(parent)
    , m_clock(std::move(clock))
    , m_deliver(std::move(deliver))
{}

bool NotificationScheduler::schedule(const NotificationRequest& request)
{
    if (!request.trigger)
        return false;
    const QDateTime due = nextDeliveryAfter(*request.trigger, m_clock());
    if (!due.isValid())
        return false;
    m_pending.insert(request.identifier, Entry{request, due});
    Q_EMIT nextDeliveryChanged();
    return true;
}

void NotificationScheduler::remove(const QString& identifier)
{
    if (m_pending.remove(identifier) > 0)
        Q_EMIT nextDeliveryChanged();
}

std::optional<QDateTime> NotificationScheduler::deliveryOf(const QString& identifier) const
{
    const auto found = m_pending.constFind(identifier);
    if (found == m_pending.constEnd())
        return std::nullopt;
    return found->due;
}

std::optional<QDateTime> NotificationScheduler::nextDelivery() const
{
    std::optional<QDateTime> earliest;
    for (const Entry& entry : m_pending) {
        if (!earliest || entry.due < *earliest)
            earliest = entry.due;
    }
    return earliest;
}

void NotificationScheduler::deliverDue()
{
    const QDateTime now = m_clock();
    const QStringList identifiers = m_pending.keys();
    for (const QString& identifier : identifiers)
        deliverIfDue(identifier, now);
    Q_EMIT nextDeliveryChanged();
}

void NotificationScheduler::recompute()
{
    const QDateTime now = m_clock();
    const QStringList identifiers = m_pending.keys();
    for (const QString& identifier : identifiers)
        deliverIfDue(identifier, now);
    for (Entry& entry : m_pending)
        entry.due = nextDeliveryAfter(*entry.request.trigger, now);
    Q_EMIT nextDeliveryChanged();
}

void NotificationScheduler::deliverIfDue(const QString& identifier, const QDateTime& now)
{
    const auto found = m_pending.find(identifier);
    if (found == m_pending.end() || found->due > now)
        return;
    // The entry moves on before delivery, so a `deliver` that schedules or removes requests
    // sees a consistent state.
    const Entry entry = *found;
    if (entry.request.trigger->repeats)
        found->due = nextDeliveryAfter(*entry.request.trigger, now);
    else
        m_pending.erase(found);
    if (entry.due.secsTo(now) > lateDeliveryGraceSeconds) {
        qCInfo(lcScreenTime) << "Skipping missed notification" << identifier << "due at" << entry.due;
        return;
    }
    m_deliver(entry.request);
}

QDateTime NotificationScheduler::nextDeliveryAfter(const CalendarTrigger& trigger, const QDateTime& after)
{
    if (!isInRange(trigger) || !after.isValid())
        return {};
    const qint64 afterMs = after.toMSecsSinceEpoch();
    const QDate firstDay = after.toLocalTime().date().addDays(-1);
    const QTime time(trigger.hour, trigger.minute);
    for (int offset = 0; offset < daysToSearch; ++offset) {
        const QDate day = firstDay.addDays(offset);
        if (trigger.weekday && gregorianWeekday(day) != *trigger.weekday)
            continue;
        const std::optional<qint64> instant = firstInstantAt(day, time);
        if (instant && *instant > afterMs)
            return QDateTime::fromMSecsSinceEpoch(*instant, Qt::UTC);
    }
    return {};
}
