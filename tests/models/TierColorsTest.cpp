#include "TierColors.h"

#include "Preferences.h"

#include <QTemporaryDir>

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {
QColor decoded(const QByteArray& json)
{
    return TierColors::decodeTierColor(json).value_or(QColor());
}
} // namespace

TEST(TierColors, storedDataIsAnArrayOfAtLeastThreeNumbersAndAnythingElseReadsAsNoColour)
{
    EXPECT_EQ(decoded("[1,0,0]"), QColor::fromRgbF(1, 0, 0, 1));
    EXPECT_EQ(decoded(" [ 0.25 , 0.5 , 0.75 , 0.5 , 9 ] "), QColor::fromRgbF(0.25f, 0.5f, 0.75f, 0.5f));
    EXPECT_EQ(decoded("[1,0,0,1.5]").alphaF(), 1);
    EXPECT_EQ(decoded("[1,0,0,-1]").alphaF(), 0);
    EXPECT_NEAR(decoded("[1.2,-0.25,0.5]").redF(), 1.2, 1e-3); // wide gamut, kept as half floats
    for (const char* json :
         {"", "[]", "[1,0]", "{\"r\":1}", "red", "\"[1,0,0]\"", "[1,\"a\",0]", "[1,0,0,\"x\"]", "[true,0,0]",
          "[[1],0,0]", "[1,0,0", "[65520,0,0]", "[0,-1e300,0]"})
        EXPECT_FALSE(TierColors::decodeTierColor(QByteArray(json))) << json;

    EXPECT_EQ(TierColors::encodeTierColor(QColor(Qt::red)), QByteArray("[1,0,0,1]"));
    for (const QColor& color :
         {QColor(12, 34, 56, 78), QColor::fromHsv(200, 150, 100, 230),
          QColor::fromRgbF(0.1f, 1.0f / 3.0f, 0.7f, 0.9f), QColor::fromRgbF(1.25f, -0.5f, 0, 1)})
        EXPECT_EQ(decoded(TierColors::encodeTierColor(color)).toExtendedRgb(), color.toExtendedRgb());
    EXPECT_TRUE(TierColors::encodeTierColor(QColor()).isEmpty());
}

TEST(TierColors, anUnreadableChoiceShowsTheDefaultAndResetEmptiesEveryTier)
{
    QTemporaryDir dir;
    Preferences preferences(dir.filePath(QStringLiteral("p.conf")));
    preferences.registerDefaults();
    TierColors colors(preferences);
    preferences.setValue(PreferenceKeys::tierYellowColor, QByteArray("[1,\"a\",0]"));
    EXPECT_EQ(colors.tierColor(ThresholdTier::yellow), TierColors::defaultColor(ThresholdTier::yellow));
    colors.setTierColor(ThresholdTier::red, Qt::blue);
    colors.resetTierColors();
    for (const auto& key :
         {PreferenceKeys::tierGreenColor, PreferenceKeys::tierYellowColor, PreferenceKeys::tierRedColor})
        EXPECT_TRUE(preferences.value(key).isEmpty()) << key.name;
}
