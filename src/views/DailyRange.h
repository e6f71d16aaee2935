#pragma once

#include <QString>

#include <array>

// The span of the daily history chart, in the order its segmented picker lists them.
enum class DailyRange { sevenDays, fourteenDays, thirtyDays };

inline constexpr std::array allDailyRanges{DailyRange::sevenDays, DailyRange::fourteenDays,
                                           DailyRange::thirtyDays};

inline int dayCount(DailyRange range)
{
    switch (range) {
    case DailyRange::sevenDays:
        return 7;
    case DailyRange::fourteenDays:
        return 14;
    case DailyRange::thirtyDays:
        return 30;
    }
    return 7;
}

// The segment title: "7d", "14d" or "30d".
inline QString segmentTitle(DailyRange range)
{
    return QString::number(dayCount(range)) + u'd';
}

// The title as a screen reader says it: "7 days".
inline QString spokenSegmentTitle(DailyRange range)
{
    return QString::number(dayCount(range)) + QStringLiteral(" days");
}
