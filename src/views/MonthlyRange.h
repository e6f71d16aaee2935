#pragma once

#include <QString>

#include <array>

// The span of the monthly history chart, in the order its segmented picker lists them.
enum class MonthlyRange { sixMonths, twelveMonths };

inline constexpr std::array allMonthlyRanges{MonthlyRange::sixMonths, MonthlyRange::twelveMonths};

inline int monthCount(MonthlyRange range)
{
    return range == MonthlyRange::twelveMonths ? 12 : 6;
}

// The segment title: "6mo" or "12mo".
inline QString segmentTitle(MonthlyRange range)
{
    return QString::number(monthCount(range)) + QStringLiteral("mo");
}

// The title as a screen reader says it: "6 months".
inline QString spokenSegmentTitle(MonthlyRange range)
{
    return QString::number(monthCount(range)) + QStringLiteral(" months");
}
