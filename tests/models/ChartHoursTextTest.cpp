#include "ChartHoursText.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(ChartHoursText, wholeHoursHalfHoursAndMinutesAtTheirBoundaries)
{
    EXPECT_EQ(chartHoursText(3600), u"1h"_s);
    EXPECT_EQ(chartHoursText(5400), u"1.5h"_s);
    EXPECT_EQ(chartHoursText(3599), u"59m"_s);
    EXPECT_EQ(chartHoursText(59), u"0m"_s);
    EXPECT_EQ(chartHoursText(2700), u"45m"_s);
    EXPECT_EQ(chartHoursText(10800), u"3h"_s);
    EXPECT_EQ(chartHoursText(9000), u"2.5h"_s);
    // One second past the hour is not a whole hour, and one decimal rounds it back.
    EXPECT_EQ(chartHoursText(3601), u"1.0h"_s);
}

TEST(ChartHoursText, annotationIsTheHoursTextFromOneSecondOn)
{
    EXPECT_EQ(chartAnnotationText(0), QString());
    EXPECT_EQ(chartAnnotationText(-5), QString());
    EXPECT_EQ(chartAnnotationText(1), u"0m"_s);
    EXPECT_EQ(chartAnnotationText(59), u"0m"_s);
    EXPECT_EQ(chartAnnotationText(5400), u"1.5h"_s);
}

TEST(ChartHoursText, annotationsShrinkFromFifteenBarsOn)
{
    EXPECT_EQ(chartAnnotationPointSize(7), 10);
    EXPECT_EQ(chartAnnotationPointSize(14), 10);
    EXPECT_EQ(chartAnnotationPointSize(15), 8);
    EXPECT_EQ(chartAnnotationPointSize(30), 8);
}
