#include "Preferences.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace PreferenceKeys;

namespace {

class PreferencesTest : public testing::Test {
protected:
    QString path() const { return m_dir.filePath(QStringLiteral("Brightlet/Lumatick.conf")); }

    QTemporaryDir m_dir;
};

TEST_F(PreferencesTest, registeredDefaultsReadBackWithoutBeingWritten)
{
    Preferences preferences(path());
    preferences.registerDefaults();

    EXPECT_EQ(preferences.registeredDefaultCount(), 18);
    for (const IntegerKey& key : integerKeys) {
        SCOPED_TRACE(key.name);
        EXPECT_EQ(preferences.value(key), key.registered ? key.defaultValue : 0);
    }
    for (const BooleanKey& key : booleanKeys) {
        SCOPED_TRACE(key.name);
        EXPECT_EQ(preferences.value(key), key.defaultValue);
    }
    // A fresh user counts time without an idle timeout and gets hourly break reminders.
    EXPECT_TRUE(preferences.value(idleTimeoutDisabled));
    EXPECT_TRUE(preferences.value(breakReminderEnabled));
    EXPECT_EQ(preferences.value(breakReminderMinutes), 60);
    EXPECT_EQ(preferences.value(shortcutKeyCode), -1);

    preferences.setValue(showSeconds, false);
    QSettings file(path(), QSettings::IniFormat);
    EXPECT_EQ(file.allKeys(), QStringList{QStringLiteral("showSeconds")});
}

TEST_F(PreferencesTest, unregisteredKeysReadAsZeroValues)
{
    Preferences preferences(path());
    preferences.registerDefaults();

    EXPECT_EQ(preferences.value(shortcutModifiers), 0);
    EXPECT_EQ(preferences.value(shortcutKeyChar), QString());
    EXPECT_TRUE(preferences.value(tierGreenColor).isEmpty());
    EXPECT_FALSE(preferences.boolean(QStringLiteral("neverRegistered")));
    EXPECT_EQ(preferences.integer(QStringLiteral("neverRegistered")), 0);

    Preferences unregistered(path());
    EXPECT_EQ(unregistered.value(greenThresholdHours), 0);
    EXPECT_FALSE(unregistered.value(showSeconds));
}

TEST_F(PreferencesTest, removalRestoresTheRegisteredDefault)
{
    Preferences preferences(path());
    preferences.registerDefaults();

    preferences.setValue(idleTimeoutMinutes, 9);
    preferences.setValue(idleTimeoutDisabled, false);
    preferences.setValue(shortcutModifiers, 0x40000);
    EXPECT_EQ(preferences.value(idleTimeoutMinutes), 9);
    EXPECT_FALSE(preferences.value(idleTimeoutDisabled));

    preferences.remove(QString::fromLatin1(idleTimeoutMinutes.name));
    preferences.remove(QString::fromLatin1(idleTimeoutDisabled.name));
    preferences.remove(QString::fromLatin1(shortcutModifiers.name));
    EXPECT_EQ(preferences.value(idleTimeoutMinutes), 5);
    EXPECT_TRUE(preferences.value(idleTimeoutDisabled));
    EXPECT_EQ(preferences.value(shortcutModifiers), 0);
}

TEST_F(PreferencesTest, writesSurviveReopeningTheFile)
{
    const QByteArray binary("\x00\xff[1,0,0]", 9);
    {
        Preferences preferences(path());
        preferences.registerDefaults();
        preferences.setValue(greenThresholdHours, 2);
        preferences.setValue(showSeconds, false);
        preferences.setValue(tierRedColor, binary);
        preferences.setValue(shortcutKeyChar, QStringLiteral("Ä, ;=\"x\""));
        preferences.setValue(shortcutKeyCode, 70000);
    }
    ASSERT_TRUE(QFile::exists(path()));

    Preferences reopened(path());
    reopened.registerDefaults();
    EXPECT_EQ(reopened.value(greenThresholdHours), 2);
    EXPECT_FALSE(reopened.value(showSeconds));
    EXPECT_EQ(reopened.value(tierRedColor), binary);
    EXPECT_EQ(reopened.value(shortcutKeyChar), QStringLiteral("Ä, ;=\"x\""));
    EXPECT_EQ(reopened.value(shortcutKeyCode), 70000);
    EXPECT_EQ(reopened.value(yellowThresholdHours), 5);
}

TEST_F(PreferencesTest, changedFiresOnlyOnWritesAndRemovals)
{
    Preferences preferences(path());
    preferences.registerDefaults();
    QSignalSpy spy(&preferences, &Preferences::changed);

    preferences.value(greenThresholdHours);
    preferences.value(tierGreenColor);
    preferences.boolean(QStringLiteral("dailyGoalEnabled"));
    EXPECT_EQ(spy.count(), 0);

    preferences.setValue(dailyGoalHours, 4);
    preferences.setValue(dailyGoalHours, 4);
    preferences.remove(QString::fromLatin1(dailyGoalHours.name));
    ASSERT_EQ(spy.count(), 3);
    for (const QList<QVariant>& emission : spy)
        EXPECT_EQ(emission.at(0).toString(), QStringLiteral("dailyGoalHours"));
}

// A file edited by hand (or damaged) must not break the readers: values read the way a typed
// store reads them, and anything unreadable reads as the zero value so the readers' own
// fallbacks apply.
TEST_F(PreferencesTest, handEditedValuesReadLeniently)
{
    QDir().mkpath(m_dir.filePath(QStringLiteral("Brightlet")));
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[General]\n"
               "greenThresholdHours=abc\n"
               "yellowThresholdHours=7\n"
               "idleTimeoutMinutes=2.9\n"
               "dailyNotifHour=99\n"
               "showSeconds=false\n"
               "idleTimeoutDisabled=0\n"
               "dailyGoalEnabled=YES\n"
               "menuBarIconOnly=nonsense\n"
               "tierGreenColor=[1, 0, 0]\n");
    file.close();

    Preferences preferences(path());
    preferences.registerDefaults();
    EXPECT_EQ(preferences.value(greenThresholdHours), 0);
    EXPECT_EQ(preferences.value(yellowThresholdHours), 7);
    EXPECT_EQ(preferences.value(idleTimeoutMinutes), 2);
    EXPECT_EQ(preferences.value(dailyNotifHour), 99);
    EXPECT_FALSE(preferences.value(showSeconds));
    EXPECT_FALSE(preferences.value(idleTimeoutDisabled));
    EXPECT_TRUE(preferences.value(dailyGoalEnabled));
    EXPECT_FALSE(preferences.value(menuBarIconOnly));
    const QJsonDocument colour = QJsonDocument::fromJson(preferences.value(tierGreenColor));
    ASSERT_TRUE(colour.isArray());
    EXPECT_EQ(colour.array().size(), 3);
}

} // namespace
