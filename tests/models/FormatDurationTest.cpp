#include "FormatDuration.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 hms(qint64 hours, qint64 minutes, qint64 seconds)
{
    return hours * 3600 + minutes * 60 + seconds;
}

} // namespace

TEST(FormatDurationWithSeconds, belowAMinuteShowsOnlySeconds)
{
    EXPECT_EQ(formatDuration(0, true), u"0s"_s);
    EXPECT_EQ(formatDuration(7, true), u"7s"_s);
    EXPECT_EQ(formatDuration(59, true), u"59s"_s);
}

TEST(FormatDurationWithSeconds, minutesPadSecondsButNotThemselves)
{
    EXPECT_EQ(formatDuration(60, true), u"1m 00s"_s);
    EXPECT_EQ(formatDuration(hms(0, 5, 7), true), u"5m 07s"_s);
    EXPECT_EQ(formatDuration(3599, true), u"59m 59s"_s);
}

TEST(FormatDurationWithSeconds, hoursPadMinutesAndSeconds)
{
    EXPECT_EQ(formatDuration(3600, true), u"1h 00m 00s"_s);
    EXPECT_EQ(formatDuration(hms(1, 5, 3), true), u"1h 05m 03s"_s);
    EXPECT_EQ(formatDuration(hms(4, 37, 12), true), u"4h 37m 12s"_s);
}

TEST(FormatDurationWithoutSeconds, dropsTheRemainderBelowAMinute)
{
    EXPECT_EQ(formatDuration(0, false), u"0m"_s);
    EXPECT_EQ(formatDuration(59, false), u"0m"_s);
    EXPECT_EQ(formatDuration(60, false), u"1m"_s);
    EXPECT_EQ(formatDuration(hms(0, 37, 59), false), u"37m"_s);
    EXPECT_EQ(formatDuration(3599, false), u"59m"_s);
}

TEST(FormatDurationWithoutSeconds, hoursPadMinutes)
{
    EXPECT_EQ(formatDuration(3600, false), u"1h 00m"_s);
    EXPECT_EQ(formatDuration(3661, false), u"1h 01m"_s);
    EXPECT_EQ(formatDuration(hms(4, 37, 59), false), u"4h 37m"_s);
}

TEST(FormatDurationRange, hoursNeverRollOverIntoDays)
{
    EXPECT_EQ(formatDuration(90000, false), u"25h 00m"_s);
    EXPECT_EQ(formatDuration(90000, true), u"25h 00m 00s"_s);
    EXPECT_EQ(formatDuration(1'000'000'000, true), u"277777h 46m 40s"_s);
    EXPECT_EQ(formatDuration(std::numeric_limits<qint64>::max(), true), u"2562047788015215h 30m 07s"_s);
}

TEST(FormatDurationRange, negativeDurationsReadAsZero)
{
    EXPECT_EQ(formatDuration(-1, true), u"0s"_s);
    EXPECT_EQ(formatDuration(-3600, false), u"0m"_s);
    EXPECT_EQ(formatDuration(std::numeric_limits<qint64>::min(), true), u"0s"_s);
}

TEST(FormatDurationRange, digitsStayAsciiUnderALocaleWithOtherDigits)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::Arabic, QLocale::Egypt));
    const QString text = formatDuration(hms(4, 7, 9), true);
    QLocale::setDefault(previous);
    EXPECT_EQ(text, u"4h 07m 09s"_s);
}
