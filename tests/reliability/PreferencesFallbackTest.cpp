#include "ReliabilityTest.h"

#include "FileContents.h"

#include <QRegularExpression>

namespace {

// A preferences file edited by hand or left by a broken tool: every key the counter reads
// holds a value out of range or of the wrong kind, each tier colour a different bad form.
const char* const garbledPreferences = R"([General]
greenThresholdHours=0
yellowThresholdHours=-5
idleTimeoutMinutes=-1
idleTimeoutDisabled=perhaps
showSeconds=@Variant(garbage)
launchAtLogin=2
dailyGoalEnabled=true
dailyGoalHours=-3
dailyNotifEnabled=true
dailyNotifHour=99
weeklyNotifEnabled=true
weeklyNotifDay=0
weeklyNotifHour=-7
onboardingShown=true
breakReminderEnabled=yes
breakReminderMinutes=99999999999999999999999
menuBarIconOnly=
shortcutKeyCode=70000
shortcutModifiers=-1
shortcutKeyChar=@ByteArray(\xff\xfe)
tierGreenColor=@ByteArray(not json at all)
tierYellowColor="[1, 2]"
tierRedColor=@ByteArray([\"red\", null, {}, [1e400, -3, 0.5, 2]])

[Unrelated]
junk=\x01\x02
)";

// The panel, so the tier colours are read and drawn.
class PreferencesFallbackTest : public PanelSessionTest {
protected:
    bool writePreferences(const QByteArray& text) { return writeFile(m_preferences.filePath(), text); }
};

TEST_F(PreferencesFallbackTest, garbledPreferencesFallBackToDefaultsWithoutErrors)
{
    // Four hours: yellow under the default thresholds of 3 and 5 hours, which stored
    // thresholds of 0 and -5 must fall back to.
    constexpr qint64 earlierToday = 4 * 3600;
    ASSERT_TRUE(seedDay(QDate::currentDate(), earlierToday));
    ASSERT_TRUE(writePreferences(garbledPreferences));

    QProcess* app = startPanel();
    ASSERT_FALSE(m_watcher.registrations().isEmpty());
    ASSERT_TRUE(waitForLiveSeconds(earlierToday + 2).has_value()) << "the counter does not count";

    // Yellow: the thresholds fell back to their defaults.
    EXPECT_EQ(controlProperty("Tier").toString(), QStringLiteral("yellow"));
    EXPECT_TRUE(controlProperty("TodayText").toString().startsWith(QStringLiteral("4h 00m")));
    EXPECT_EQ(controlProperty("Paused"), QVariant(false));

    EXPECT_FALSE(windowIsVisible()) << "a window opened: an error or the first-run window";

    EXPECT_EQ(terminate(app), 0);
    const QString log = logOf(app);
    static const QRegularExpression errorLine(QStringLiteral("^(critical|fatal) "),
                                              QRegularExpression::MultilineOption);
    EXPECT_FALSE(log.contains(errorLine)) << log.toStdString();
    EXPECT_GE(readStore().value(dayKey(QDate::currentDate())), earlierToday + 2);
}

} // namespace
