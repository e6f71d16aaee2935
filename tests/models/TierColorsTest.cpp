#include "TierColors.h"

#include "Preferences.h"

#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// Sixteen-bit channels hold in-range components to within half a step.
constexpr double channelStep = 1.0 / 65535.0;
constexpr std::array allTiers{ThresholdTier::green, ThresholdTier::yellow, ThresholdTier::red};

void expectRgbaF(const QColor& color, double red, double green, double blue, double alpha,
                 double tolerance = channelStep)
{
    ASSERT_TRUE(color.isValid());
    EXPECT_NEAR(color.redF(), red, tolerance);
    EXPECT_NEAR(color.greenF(), green, tolerance);
    EXPECT_NEAR(color.blueF(), blue, tolerance);
    EXPECT_NEAR(color.alphaF(), alpha, tolerance);
}

QColor decoded(const char* json)
{
    const std::optional<QColor> color = TierColors::decodeTierColor(QByteArray(json));
    return color.value_or(QColor());
}

// A reader independent of Qt: the C library's strtod over the comma-separated numbers.
std::vector<double> parseNumberArray(const QByteArray& json)
{
    std::vector<double> numbers;
    if (!json.startsWith('[') || !json.endsWith(']'))
        return numbers;
    const std::string body = json.mid(1, json.size() - 2).toStdString();
    const char* cursor = body.c_str();
    while (true) {
        char* end = nullptr;
        const double number = std::strtod(cursor, &end);
        if (end == cursor)
            return {};
        numbers.push_back(number);
        if (*end == '\0')
            break;
        if (*end != ',')
            return {};
        cursor = end + 1;
    }
    return numbers;
}

class TierColorsStorage : public testing::Test {
protected:
    void SetUp() override { m_preferences.registerDefaults(); }

    QString filePath() const { return m_dir.filePath(u"p.conf"_s); }

    QTemporaryDir m_dir;
    Preferences m_preferences{filePath()};
    TierColors m_colors{m_preferences};
};

} // namespace

TEST(TierColorsDefaults, areTheBuiltInGreenYellowAndRed)
{
    EXPECT_EQ(TierColors::defaultColor(ThresholdTier::green), QColor::fromRgb(52, 199, 89));
    EXPECT_EQ(TierColors::defaultColor(ThresholdTier::yellow), QColor::fromRgb(255, 204, 0));
    EXPECT_EQ(TierColors::defaultColor(ThresholdTier::red), QColor::fromRgb(255, 59, 48));
}

TEST(TierColorsDecode, readsThreeOrFourComponentsAndIgnoresTheRest)
{
    const QColor red = decoded("[1,0,0]");
    expectRgbaF(red, 1, 0, 0, 1);
    EXPECT_EQ(red, QColor(Qt::red));
    expectRgbaF(decoded("[0.2,0.4,0.6,0.5]"), 0.2, 0.4, 0.6, 0.5);
    expectRgbaF(decoded("[1,0,0,0.5,9]"), 1, 0, 0, 0.5);
    expectRgbaF(decoded(" [ 0.25 , 0.5 , 0.75 ] "), 0.25, 0.5, 0.75, 1);
}

TEST(TierColorsDecode, rejectsAnythingButAnArrayOfAtLeastThreeNumbers)
{
    for (const char* json : {"", "[]", "[1,0]", "{\"r\":1}", "red", "1", "\"[1,0,0]\"", "[1,\"a\",0]",
                             "[1,0,0,\"x\"]", "[1,0,0,0.5,null]", "[true,0,0]", "[[1],0,0]", "[1,0,0"}) {
        SCOPED_TRACE(json);
        EXPECT_FALSE(TierColors::decodeTierColor(QByteArray(json)).has_value());
    }
}

TEST(TierColorsDecode, keepsComponentsOutsideTheUnitRange)
{
    const QColor wide = decoded("[1.2,-0.25,0.5]");
    // Wide-gamut components are stored as half floats, good to about three digits.
    expectRgbaF(wide, 1.2, -0.25, 0.5, 1, 1e-3);
    const QColor again = decoded(TierColors::encodeTierColor(wide).constData());
    EXPECT_GT(again.redF(), 1.0f);
    EXPECT_EQ(again, wide);
}

TEST(TierColorsDecode, clampsAlphaButRejectsComponentsBeyondHalfFloatRange)
{
    expectRgbaF(decoded("[1,0,0,1.5]"), 1, 0, 0, 1);
    expectRgbaF(decoded("[1,0,0,-1]"), 1, 0, 0, 0);
    expectRgbaF(decoded("[65504,0,0]"), 65504, 0, 0, 1, 0);
    EXPECT_FALSE(TierColors::decodeTierColor("[65520,0,0]").has_value());
    EXPECT_FALSE(TierColors::decodeTierColor("[0,-1e300,0]").has_value());
}

TEST(TierColorsEncode, writesACompactArrayOfFourComponents)
{
    EXPECT_EQ(TierColors::encodeTierColor(QColor(Qt::red)), QByteArray("[1,0,0,1]"));
}

TEST(TierColorsEncode, aStandardReaderRecoversTheExactComponents)
{
    const QColor color = QColor::fromRgbF(0.1f, 1.0f / 3.0f, 0.7f, 0.9f);
    const std::vector<double> numbers = parseNumberArray(TierColors::encodeTierColor(color));
    ASSERT_EQ(numbers.size(), 4u);
    EXPECT_EQ(numbers[0], double{color.redF()});
    EXPECT_EQ(numbers[1], double{color.greenF()});
    EXPECT_EQ(numbers[2], double{color.blueF()});
    EXPECT_EQ(numbers[3], double{color.alphaF()});
}

TEST(TierColorsEncode, roundTripsThroughDecode)
{
    const QColor arbitrary(12, 34, 56, 78);
    EXPECT_EQ(decoded(TierColors::encodeTierColor(arbitrary).constData()), arbitrary);
    const QColor hsv = QColor::fromHsv(200, 150, 100, 230);
    EXPECT_EQ(decoded(TierColors::encodeTierColor(hsv).constData()), hsv.toRgb());
    const QColor cmyk = QColor::fromCmykF(0.1f, 0.2f, 0.3f, 0.4f);
    EXPECT_EQ(decoded(TierColors::encodeTierColor(cmyk).constData()), cmyk.toRgb());
    const QColor wide = QColor::fromRgbF(1.25f, -0.5f, 0.5f, 0.75f);
    const std::vector<double> numbers = parseNumberArray(TierColors::encodeTierColor(wide));
    EXPECT_EQ(numbers, (std::vector<double>{1.25, -0.5, 0.5, 0.75}));
}

TEST(TierColorsEncode, coloursWithoutAnSrgbFormEncodeAsEmpty)
{
    EXPECT_TRUE(TierColors::encodeTierColor(QColor()).isEmpty());
    EXPECT_TRUE(TierColors::encodeTierColor(QColor(u"no such colour"_s)).isEmpty());
    // Past the half-float range a wide-gamut component becomes infinite.
    EXPECT_TRUE(TierColors::encodeTierColor(QColor::fromRgbF(1e6f, 0, 0)).isEmpty());
}

TEST_F(TierColorsStorage, unsetOrUnreadableDataGivesTheDefaultColour)
{
    for (const ThresholdTier tier : allTiers)
        EXPECT_EQ(m_colors.tierColor(tier), TierColors::defaultColor(tier));
    for (const char* garbage : {"[1,0]", "{\"r\":1}", "red", "[1,\"a\",0]"}) {
        SCOPED_TRACE(garbage);
        m_preferences.setValue(PreferenceKeys::tierYellowColor, QByteArray(garbage));
        EXPECT_EQ(m_colors.tierColor(ThresholdTier::yellow), TierColors::defaultColor(ThresholdTier::yellow));
    }
}

TEST_F(TierColorsStorage, aStoredColourIsSeenOnTheNextRead)
{
    const QColor blue(0, 0, 255);
    m_colors.setTierColor(ThresholdTier::red, blue);
    EXPECT_EQ(m_preferences.value(PreferenceKeys::tierRedColor), TierColors::encodeTierColor(blue));
    EXPECT_EQ(m_colors.tierColor(ThresholdTier::red), blue);
    EXPECT_EQ(m_colors.tierColor(ThresholdTier::green), TierColors::defaultColor(ThresholdTier::green));
    EXPECT_EQ(m_colors.tierColor(ThresholdTier::yellow), TierColors::defaultColor(ThresholdTier::yellow));

    // A write that bypasses this object must show up too: nothing is cached.
    m_preferences.setValue(PreferenceKeys::tierRedColor, QByteArray("[0,1,0]"));
    EXPECT_EQ(m_colors.tierColor(ThresholdTier::red), QColor(0, 255, 0));
}

TEST_F(TierColorsStorage, resetWritesEmptyDataForEveryTierInOrder)
{
    for (const ThresholdTier tier : allTiers)
        m_colors.setTierColor(tier, QColor(Qt::magenta));
    QStringList written;
    QObject::connect(&m_preferences, &Preferences::changed,
                     [&written](const QString& key) { written << key; });

    m_colors.resetTierColors();

    const QStringList keys{u"tierGreenColor"_s, u"tierYellowColor"_s, u"tierRedColor"_s};
    EXPECT_EQ(written, keys);
    const QSettings file(filePath(), QSettings::IniFormat);
    for (const QString& key : keys) {
        EXPECT_TRUE(file.contains(key)) << qPrintable(key);
        EXPECT_TRUE(m_preferences.data(key).isEmpty()) << qPrintable(key);
    }
    for (const ThresholdTier tier : allTiers)
        EXPECT_EQ(m_colors.tierColor(tier), TierColors::defaultColor(tier));
}

TEST(TierColorsInterpolate, clampsTheFractionAndTreatsNanAsTheEnd)
{
    const QColor from = QColor::fromRgbF(0.2f, 0.4f, 0.6f, 1.0f);
    const QColor to = QColor::fromRgbF(0.6f, 0.0f, 1.0f, 0.5f);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    expectRgbaF(TierColors::interpolateColor(from, to, -1), 0.2, 0.4, 0.6, 1);
    expectRgbaF(TierColors::interpolateColor(from, to, 0), 0.2, 0.4, 0.6, 1);
    expectRgbaF(TierColors::interpolateColor(from, to, 0.5), 0.4, 0.2, 0.8, 0.75);
    expectRgbaF(TierColors::interpolateColor(from, to, 1), 0.6, 0, 1, 0.5);
    expectRgbaF(TierColors::interpolateColor(from, to, 2), 0.6, 0, 1, 0.5);
    expectRgbaF(TierColors::interpolateColor(from, to, nan), 0.6, 0, 1, 0.5);
}

TEST(TierColorsInterpolate, blendsInSrgbWhateverTheInputColourModel)
{
    expectRgbaF(TierColors::interpolateColor(Qt::black, Qt::white, 0.5), 0.5, 0.5, 0.5, 1);
    const QColor hsvBlack = QColor::fromHsvF(0.3f, 1.0f, 0.0f);
    const QColor hslWhite = QColor::fromHslF(0.7f, 1.0f, 1.0f);
    expectRgbaF(TierColors::interpolateColor(hsvBlack, hslWhite, 0.25), 0.25, 0.25, 0.25, 1);
    const QColor wide = QColor::fromRgbF(1.5f, -0.5f, 0.0f);
    expectRgbaF(TierColors::interpolateColor(wide, Qt::black, 0.5), 0.75, -0.25, 0, 1, 1e-3);
}

TEST(TierColorsInterpolate, anInvalidEndReturnsTheTargetUnchanged)
{
    const QColor hsv = QColor::fromHsv(120, 200, 100);
    const QColor result = TierColors::interpolateColor(QColor(), hsv, 0.5);
    EXPECT_EQ(result, hsv);
    EXPECT_EQ(result.spec(), QColor::Hsv);
    EXPECT_FALSE(TierColors::interpolateColor(Qt::red, QColor(), 0.5).isValid());
}
